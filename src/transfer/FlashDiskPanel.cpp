#include "transfer/FlashDiskPanel.h"

#include "core/Cp1251.h"
#include "core/FileAccess.h"
#include "core/TerminalState.h"
#include "form/Controls.h"
#include "form/Dialogs.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>

FlashDiskPanel::FlashDiskPanel(FlashDiskControls& flash, CommandLineControls& line,
                               TransferState& s, TrafficState& traffic, ConsoleModel& console,
                               Dialogs& dialogs)
    : flash_(flash), line_(line), s_(s), traffic_(traffic), dialogs_(dialogs),
      runner_(links, line, console, traffic, dialogs, FilesFileNumber_, flash.vbalProgressBar1) {
}

void FlashDiskPanel::connectControls() {
    QObject::connect(flash_.Command3, &QPushButton::clicked, [this] { Command3_Click(); });
    QObject::connect(flash_.Command4, &QPushButton::clicked, [this] { Command4_Click(); });
    QObject::connect(flash_.Command5, &QPushButton::clicked, [this] { Command5_Click(); });
}

void FlashDiskPanel::carryOut(const TransferActions& actions) {
    // The fields first: a dialog among the actions lets replies in, and the router must already
    // see where they belong.
    s_.SendFilesMode = machine_.SendFilesMode() ? 1 : 0;
    s_.LoadFilesMode = machine_.LoadFilesMode() ? 1 : 0;
    s_.SendFilesDone = machine_.SendFilesDone() ? 1 : 0;
    s_.ReadStarted = machine_.ReadStarted() ? 1 : 0;
    s_.FileLength = machine_.FileLength();
    s_.FilePos = machine_.FilePos();
    s_.FileBytes = machine_.FileBytes(); // shared, not copied
    runner_.run(actions);
}

void FlashDiskPanel::afterReply(const TransferActions& actions) {
    const bool wasRunning = s_.SendFilesMode == 1 || s_.LoadFilesMode == 1;
    carryOut(actions);
    // The close routine at a transfer's end leaves the operator in the command line.
    if (wasRunning && !machine_.running())
        line_.tbSendData->setFocus();
}

QString FlashDiskPanel::askFile(bool save) {
    const QString path =
        save ? dialogs_.saveFile(QString(), Filter) : dialogs_.openFile(QString(), Filter);
    if (path.isEmpty())
        dialogs_.message(QCoreApplication::applicationName(), QStringLiteral("Cancel"));
    return path;
}

void FlashDiskPanel::Command3_Click() {
    line_.tbSendData->setFocus();
    const QString path = askFile(false);
    if (path.isEmpty())
        return;
    const QByteArray boardName = Cp1251::toBytes(flash_.Text2->text());
    carryOut(machine_.startSend(boardName, FileAccess::readFile(path, flash::MaxFileLength)));
}

void FlashDiskPanel::Command4_Click() {
    line_.tbSendData->setFocus();
    const QString path = askFile(true);
    if (path.isEmpty())
        return;
    // A receive still running gives up its target here; the new one starts empty.
    FilesFileNumber_.close();
    const std::optional<Failure> targetProblem =
        FileAccess::createForWriting(FilesFileNumber_, path);
    carryOut(machine_.startReceive(Cp1251::toBytes(flash_.Text2->text()), targetProblem));
}

void FlashDiskPanel::Command5_Click() {
    line_.tbSendData->setFocus();
    carryOut(machine_.Command5_Click());
}

void FlashDiskPanel::SEND_FILES_parser() {
    afterReply(machine_.SEND_FILES_parser(traffic_.RxData, udpOpen()));
}

void FlashDiskPanel::LOAD_FILES_parser() {
    afterReply(machine_.LOAD_FILES_parser(traffic_.RxData, udpOpen()));
}
