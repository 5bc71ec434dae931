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
    QObject::connect(console_.Command18, &QPushButton::clicked, [this] { Command18_Click(); });
    QObject::connect(console_.Command19, &QPushButton::clicked, [this] { Command19_Click(); });
    QObject::connect(console_.Command15, &QPushButton::clicked, [this] { Command15_Click(); });
    QObject::connect(console_.Command16, &QPushButton::clicked, [this] { Command16_Click(); });
    QObject::connect(c_.Label15, &ClickLabel::clicked, [this] { Label15_Click(); });
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

void WidthButtons::Command18_Click() {
    setWidthTwips(widthTwips() <= NarrowAtMost ? WithBuffer : Full);
    line_.tbSendData->setFocus();
}

void WidthButtons::Command19_Click() {
    setWidthTwips(Narrow);
    line_.tbSendData->setFocus();
}

void WidthButtons::Command15_Click() {
    line_.tbSendData->setText(line_.tbSendData->text().toUpper());
    line_.tbSendData->setFocus();
}

void WidthButtons::Command16_Click() {
    line_.tbSendData->setText(line_.tbSendData->text().toLower());
    line_.tbSendData->setFocus();
}

void WidthButtons::Label15_Click() {
    OpenSite(QString::fromLatin1(MakerWebAddress));
}

void OpenSite(const QString& OpenURL) {
    QDesktopServices::openUrl(QUrl(OpenURL));
}
