#include "transfer/BasicPanel.h"

#include "core/FileAccess.h"
#include "form/Controls.h"
#include "form/Dialogs.h"
#include "link/BoardLink.h"
#include "transfer/Transfers.h"

#include <QLineEdit>
#include <QPushButton>

void BasicPanel::connectControls() {
    QObject::connect(basic_.uploadProgramButton, &QPushButton::clicked,
                     [this] { uploadProgram(); });
    QObject::connect(basic_.saveProgramButton, &QPushButton::clicked, [this] { saveProgram(); });
    QObject::connect(basic_.newProgramButton, &QPushButton::clicked, [this] { newProgram(); });
    QObject::connect(basic_.statusButton, &QPushButton::clicked, [this] { askStatus(); });
    QObject::connect(basic_.nextLineButton, &QPushButton::clicked, [this] { nextLine(); });
    QObject::connect(basic_.stopButton, &QPushButton::clicked, [this] { stop(); });
}

bool BasicPanel::linkUp() const {
    return link_.udpOpen() || link_.serialOpen();
}

void BasicPanel::uploadProgram() {
    line_.commandEdit->setFocus();
    if (!linkUp())
        return;
    transfers_.closeProgramFile();
    const QString path = dialogs_.askTransferFile(false, Filter);
    if (path.isEmpty())
        return;
    transfers_.startUpload(FileAccess::readFile(path, FileAccess::MaxProgramBytes));
}

void BasicPanel::saveProgram() {
    line_.commandEdit->setFocus();
    if (!linkUp())
        return;
    transfers_.closeProgramFile();
    const QString path = dialogs_.askTransferFile(true, Filter);
    if (path.isEmpty())
        return;
    transfers_.startDownload(path);
}

void BasicPanel::newProgram() {
    line_.commandEdit->setFocus();
    transfers_.boardCommand("NEW");
}

void BasicPanel::askStatus() {
    line_.commandEdit->setFocus();
    transfers_.boardCommand("STATUS");
}

void BasicPanel::nextLine() {
    transfers_.uploadNextLine();
}

void BasicPanel::stop() {
    transfers_.stopUpload();
}
