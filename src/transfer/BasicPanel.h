#pragma once

#include "transfer/ActionRunner.h"
#include "transfer/BasicTransfers.h"

#include <QFile>

class ConsoleModel;
class Dialogs;
struct BasicFilesControls;
struct CommandLineControls;
struct TrafficState;
struct TransferState;

// The "BASIC Files" panel: program upload ("Download") and download ("Save "), the board
// commands NEW and STATUS, continue (">>") and stop ("X"). The transfers themselves are the
// BasicTransfers machine; this panel asks the operator, reads and creates the files, carries
// the machine's actions out and mirrors its flags into the record the router reads.
class BasicPanel {
public:
    static inline const QString Filter = QStringLiteral("BAS files (*.bas)|*.bas");

    BasicPanel(BasicFilesControls& basic, CommandLineControls& line, TransferState& s,
               TrafficState& traffic, ConsoleModel& console, Dialogs& dialogs);
    void connectControls();

    // Set by the window.
    TransferLinks links;

    void Command10_Click(); // upload a program file
    void Command11_Click(); // save the board's program into a file
    void Command12_Click(); // NEW
    void Command13_Click(); // STATUS
    void Command9_Click();  // the next line without waiting for a reply
    void Command14_Click(); // stop the upload where it stands

    // The receive router's entries; both read RxData.
    void SEND_BASIC_parser();
    void LOAD_BASIC_parser();

    const BasicTransfers& transfers() const { return machine_; }

private:
    void carryOut(const TransferActions& actions);
    // The file dialog's answer, or empty after the "Cancel" message.
    QString askFile(bool save);

    BasicFilesControls& basic_;
    CommandLineControls& line_;
    TransferState& s_;
    TrafficState& traffic_;
    Dialogs& dialogs_;
    BasicTransfers machine_;
    QFile BasFileNumber_; // the download's target while it runs
    ActionRunner runner_;
};
