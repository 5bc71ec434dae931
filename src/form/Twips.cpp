#include "form/Twips.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace {
double dpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double d = screen ? screen->logicalDotsPerInchX() : 96.0;
    return d > 0 ? d : 96.0;
}
} // namespace

int Twips::toPixels(int twips) {
    return int(std::lround(twips * dpi() / 1440.0));
}

int Twips::fromPixels(int pixels) {
    return int(std::lround(pixels * 1440.0 / dpi()));
}

QRect Twips::rect(int left, int top, int width, int height) {
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

QFont twipsFont(QFont font, int sizeTwips) {
    font.setPixelSize(Twips::toPixels(sizeTwips));
    return font;
}

QFont courierFont(int pointSize) {
    QFont font(QStringLiteral("Courier New"), pointSize);
    font.setStyleHint(QFont::Monospace);
    if (!QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSize(pointSize);
    }
    return font;
}
