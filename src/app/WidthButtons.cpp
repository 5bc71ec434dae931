#include "app/WidthButtons.h"

#include "form/ClickLabel.h"
#include "form/Columns.h"
#include "form/Controls.h"
#include "form/Twips.h"

#include <QDesktopServices>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>

void WidthButtons::connectControls() {
    QObject::connect(console_.widenButton, &QPushButton::clicked, [this] { widen(); });
    QObject::connect(console_.narrowButton, &QPushButton::clicked, [this] { narrow(); });
    QObject::connect(console_.upperCaseButton, &QPushButton::clicked, [this] { toUpperCase(); });
    QObject::connect(console_.lowerCaseButton, &QPushButton::clicked, [this] { toLowerCase(); });
    QObject::connect(c_.webAddressLabel, &ClickLabel::clicked, [this] { openWebAddress(); });
}

namespace {
int clientTwips(int width) {
    if (width == WidthButtons::Narrow)
        return BufferColumnLeft;
    if (width == WidthButtons::WithBuffer)
        return ModbusColumnLeft;
    return width;
}
} // namespace

int WidthButtons::widthTwips() const {
    const int pixels = window_->width();
    for (int width : {Narrow, WithBuffer})
        if (pixels == Twips::toPixels(clientTwips(width)))
            return width;
    return Twips::fromPixels(pixels);
}

void WidthButtons::setWidthTwips(int twips) {
    window_->resize(Twips::toPixels(clientTwips(twips)), window_->height());
}

void WidthButtons::widen() {
    setWidthTwips(widthTwips() <= NarrowAtMost ? WithBuffer : Full);
    line_.commandEdit->setFocus();
}

void WidthButtons::narrow() {
    setWidthTwips(Narrow);
    line_.commandEdit->setFocus();
}

void WidthButtons::toUpperCase() {
    line_.commandEdit->setText(line_.commandEdit->text().toUpper());
    line_.commandEdit->setFocus();
}

void WidthButtons::toLowerCase() {
    line_.commandEdit->setText(line_.commandEdit->text().toLower());
    line_.commandEdit->setFocus();
}

void WidthButtons::openWebAddress() {
    openSite(QString::fromLatin1(MakerWebAddress));
}

void openSite(const QString& url) {
    QDesktopServices::openUrl(QUrl(url));
}
