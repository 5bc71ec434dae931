#include "transfer/BasicPanel.h"

#include "core/FileAccess.h"
#include "form/Controls.h"
#include "form/Dialogs.h"
#include "link/BoardLink.h"
#include "transfer/Transfers.h"

#include <QLineEdit>
#include <QPushButton>

void BasicPanel::connectControls() {
    QObject::connect(basic_.Command10, &QPushButton::clicked, [this] { Command10_Click(); });
    QObject::connect(basic_.Command11, &QPushButton::clicked, [this] { Command11_Click(); });
    QObject::connect(basic_.Command12, &QPushButton::clicked, [this] { Command12_Click(); });
    QObject::connect(basic_.Command13, &QPushButton::clicked, [this] { Command13_Click(); });
    QObject::connect(basic_.Command9, &QPushButton::clicked, [this] { nextLine(); });
    QObject::connect(basic_.Command14, &QPushButton::clicked, [this] { stop(); });
}

bool BasicPanel::linkUp() const {
    return link_.udpOpen() || link_.serialOpen();
}

void BasicPanel::Command10_Click() {
    line_.tbSendData->setFocus();
    if (!linkUp())
        return;
    transfers_.closeProgramFile();
    const QString path = dialogs_.askTransferFile(false, Filter);
    if (path.isEmpty())
        return;
    transfers_.startUpload(FileAccess::readFile(path, FileAccess::MaxProgramBytes));
}

void BasicPanel::Command11_Click() {
    line_.tbSendData->setFocus();
    if (!linkUp())
        return;
    transfers_.closeProgramFile();
    const QString path = dialogs_.askTransferFile(true, Filter);
    if (path.isEmpty())
        return;
    transfers_.startDownload(path);
}

void BasicPanel::Command12_Click() {
    line_.tbSendData->setFocus();
    transfers_.boardCommand("NEW");
}

void BasicPanel::Command13_Click() {
    line_.tbSendData->setFocus();
    transfers_.boardCommand("STATUS");
}

void BasicPanel::nextLine() {
    transfers_.uploadNextLine();
}

void BasicPanel::stop() {
    transfers_.stopUpload();
}
