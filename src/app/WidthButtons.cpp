#include "app/WidthButtons.h"

#include "app/ClickLabel.h"
#include "app/Columns.h"
#include "app/Controls.h"
#include "app/TerminalState.h"
#include "app/Twips.h"

#include <QDesktopServices>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>

void WidthButtons::connectControls() {
    QObject::connect(c_.Command18, &QPushButton::clicked, [this] { Command18_Click(); });
    QObject::connect(c_.Command19, &QPushButton::clicked, [this] { Command19_Click(); });
    QObject::connect(c_.Command15, &QPushButton::clicked, [this] { Command15_Click(); });
    QObject::connect(c_.Command16, &QPushButton::clicked, [this] { Command16_Click(); });
    QObject::connect(c_.Command14, &QPushButton::clicked, [this] { Command14_Click(); });
    QObject::connect(c_.Label15, &ClickLabel::clicked, [this] { Label15_Click(); });
}

int WidthButtons::widthTwips() const {
    return Twips::fromPixels(window_->width());
}

void WidthButtons::setWidthTwips(int twips) {
    window_->resize(Twips::toPixels(twips), window_->height());
}

void WidthButtons::Command18_Click() {
    setWidthTwips(widthTwips() <= NarrowAtMost ? WithBuffer : Full);
    c_.tbSendData->setFocus();
}

void WidthButtons::Command19_Click() {
    setWidthTwips(Narrow);
    c_.tbSendData->setFocus();
}

void WidthButtons::Command15_Click() {
    c_.tbSendData->setText(c_.tbSendData->text().toUpper());
    c_.tbSendData->setFocus();
}

void WidthButtons::Command16_Click() {
    c_.tbSendData->setText(c_.tbSendData->text().toLower());
    c_.tbSendData->setFocus();
}

void WidthButtons::Command14_Click() {
    s_.SendBasicMode = 0;
}

void WidthButtons::Label15_Click() {
    OpenSite(QString::fromLatin1(MakerWebAddress));
}

void OpenSite(const QString& OpenURL) {
    QDesktopServices::openUrl(QUrl(OpenURL));
}
