#include "transfer/FlashDiskPanel.h"

#include "core/Cp1251.h"
#include "core/FileAccess.h"
#include "form/Controls.h"
#include "form/Dialogs.h"
#include "link/BoardLink.h"
#include "transfer/Transfers.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

void FlashDiskPanel::connectControls() {
    QObject::connect(flash_.sendFileButton, &QPushButton::clicked, [this] { sendFile(); });
    QObject::connect(flash_.receiveFileButton, &QPushButton::clicked, [this] { receiveFile(); });
    QObject::connect(flash_.closeTransferButton, &QPushButton::clicked,
                     [this] { closeTransfer(); });
    QObject::connect(&link_, &BoardLink::stateChanged, flash_.flashDiskFrame,
                     [this] { updateEnabled(); });
    updateEnabled();
}

void FlashDiskPanel::updateEnabled() {
    flash_.flashDiskFrame->setEnabled(link_.serialOpen() ||
                                      (link_.udpOpen() && !link_.udpThroughGateway()));
}

QByteArray FlashDiskPanel::boardName() const {
    return Cp1251::toBytes(flash_.boardFileEdit->text());
}

void FlashDiskPanel::sendFile() {
    line_.commandEdit->setFocus();
    const QString path = dialogs_.askTransferFile(false, Filter);
    if (path.isEmpty())
        return;
    transfers_.startSend(boardName(), FileAccess::readFile(path, FileAccess::MaxFlashFileBytes));
}

void FlashDiskPanel::receiveFile() {
    line_.commandEdit->setFocus();
    const QString path = dialogs_.askTransferFile(true, Filter);
    if (path.isEmpty())
        return;
    transfers_.startReceive(boardName(), path);
}

void FlashDiskPanel::closeTransfer() {
    transfers_.closeFlashDisk();
}
