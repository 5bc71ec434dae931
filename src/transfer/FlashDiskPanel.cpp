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
    QObject::connect(flash_.Command3, &QPushButton::clicked, [this] { Command3_Click(); });
    QObject::connect(flash_.Command4, &QPushButton::clicked, [this] { Command4_Click(); });
    QObject::connect(flash_.Command5, &QPushButton::clicked, [this] { closeTransfer(); });
    QObject::connect(&link_, &BoardLink::stateChanged, flash_.Frame2, [this] { updateEnabled(); });
    updateEnabled();
}

void FlashDiskPanel::updateEnabled() {
    flash_.Frame2->setEnabled(link_.serialOpen() ||
                              (link_.udpOpen() && !link_.udpThroughGateway()));
}

QByteArray FlashDiskPanel::boardName() const {
    return Cp1251::toBytes(flash_.Text2->text());
}

void FlashDiskPanel::Command3_Click() {
    line_.tbSendData->setFocus();
    const QString path = dialogs_.askTransferFile(false, Filter);
    if (path.isEmpty())
        return;
    transfers_.startSend(boardName(), FileAccess::readFile(path, FileAccess::MaxFlashFileBytes));
}

void FlashDiskPanel::Command4_Click() {
    line_.tbSendData->setFocus();
    const QString path = dialogs_.askTransferFile(true, Filter);
    if (path.isEmpty())
        return;
    transfers_.startReceive(boardName(), path);
}

void FlashDiskPanel::closeTransfer() {
    transfers_.closeFlashDisk();
}
