#include "transfer/BasicPanel.h"

#include "core/FileAccess.h"
#include "core/TerminalState.h"
#include "form/Controls.h"
#include "form/Dialogs.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>

namespace {
// A program file of 2048 lines of any length the board could take; more is not a program.
constexpr qint64 MaxProgramFileBytes = 64 * 1024 * 1024;
} // namespace

BasicPanel::BasicPanel(BasicFilesControls& basic, CommandLineControls& line, TransferState& s,
                       TrafficState& traffic, ConsoleModel& console, Dialogs& dialogs)
    : basic_(basic), line_(line), s_(s), traffic_(traffic), dialogs_(dialogs),
      runner_(links, line, console, traffic, dialogs, BasFileNumber_) {
}

void BasicPanel::connectControls() {
    QObject::connect(basic_.Command10, &QPushButton::clicked, [this] { Command10_Click(); });
    QObject::connect(basic_.Command11, &QPushButton::clicked, [this] { Command11_Click(); });
    QObject::connect(basic_.Command12, &QPushButton::clicked, [this] { Command12_Click(); });
    QObject::connect(basic_.Command13, &QPushButton::clicked, [this] { Command13_Click(); });
    QObject::connect(basic_.Command9, &QPushButton::clicked, [this] { Command9_Click(); });
    QObject::connect(basic_.Command14, &QPushButton::clicked, [this] { Command14_Click(); });
}

void BasicPanel::carryOut(const TransferActions& actions) {
    // The flags first: a dialog among the actions lets replies in, and the router must already
    // see where they belong.
    s_.SendBasicMode = machine_.SendBasicMode() ? 1 : 0;
    s_.LoadBasicMode = machine_.LoadBasicMode() ? 1 : 0;
    s_.LineIndex = machine_.LineIndex();
    s_.LineCount = machine_.LineCount();
    runner_.run(actions);
}

QString BasicPanel::askFile(bool save) {
    const QString path =
        save ? dialogs_.saveFile(QString(), Filter) : dialogs_.openFile(QString(), Filter);
    if (path.isEmpty())
        dialogs_.message(QCoreApplication::applicationName(), QStringLiteral("Cancel"));
    return path;
}

void BasicPanel::Command10_Click() {
    line_.tbSendData->setFocus();
    if (!links.anyOpen())
        return;
    // A running download ends here, before the dialog: nothing it receives is written later.
    carryOut(machine_.closeProgramFile());
    const QString path = askFile(false);
    if (path.isEmpty())
        return;
    carryOut(machine_.startUpload(FileAccess::readFile(path, MaxProgramFileBytes)));
}

void BasicPanel::Command11_Click() {
    line_.tbSendData->setFocus();
    if (!links.anyOpen())
        return;
    carryOut(machine_.closeProgramFile());
    const QString path = askFile(true);
    if (path.isEmpty())
        return;
    BasFileNumber_.close();
    carryOut(machine_.startDownload(FileAccess::createForWriting(BasFileNumber_, path)));
}

void BasicPanel::Command12_Click() {
    line_.tbSendData->setFocus();
    carryOut(basic::boardCommand("NEW"));
}

void BasicPanel::Command13_Click() {
    line_.tbSendData->setFocus();
    carryOut(basic::boardCommand("STATUS"));
}

void BasicPanel::Command9_Click() {
    carryOut(machine_.Command9_Click());
}

void BasicPanel::Command14_Click() {
    carryOut(machine_.Command14_Click());
}

void BasicPanel::SEND_BASIC_parser() {
    carryOut(machine_.SEND_BASIC_parser(traffic_.RxData));
}

void BasicPanel::LOAD_BASIC_parser() {
    carryOut(machine_.LOAD_BASIC_parser(traffic_.RxData));
}
