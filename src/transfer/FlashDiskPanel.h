#pragma once

#include "transfer/ActionRunner.h"
#include "transfer/FlashDiskTransfers.h"

#include <QFile>

class ConsoleModel;
class Dialogs;
struct CommandLineControls;
struct FlashDiskControls;
struct TrafficState;
struct TransferState;

// The "Flash disk" panel: send a local file to the board's flash disk ("Send"), receive one
// from it ("Recieve"), and the close routine behind "X". The transfers are the
// FlashDiskTransfers machine; this panel asks the operator, reads and creates the local files,
// carries the machine's actions out and mirrors its fields into the record the router reads.
class FlashDiskPanel {
public:
    static inline const QString Filter = QStringLiteral("All files (*.*)|*.*");

    FlashDiskPanel(FlashDiskControls& flash, CommandLineControls& line, TransferState& s,
                   TrafficState& traffic, ConsoleModel& console, Dialogs& dialogs);
    void connectControls();

    // Set by the window.
    TransferLinks links;

    void Command3_Click(); // send a local file
    void Command4_Click(); // receive a board file
    void Command5_Click(); // the close routine: ends either direction, sends CLOSE

    // The receive router's entries; both read RxData.
    void SEND_FILES_parser();
    void LOAD_FILES_parser();

    const FlashDiskTransfers& transfers() const { return machine_; }

private:
    void carryOut(const TransferActions& actions);
    void afterReply(const TransferActions& actions);
    QString askFile(bool save);
    bool udpOpen() const { return links.udpOpen && links.udpOpen(); }

    FlashDiskControls& flash_;
    CommandLineControls& line_;
    TransferState& s_;
    TrafficState& traffic_;
    Dialogs& dialogs_;
    FlashDiskTransfers machine_;
    QFile FilesFileNumber_; // the receive's target while it runs
    ActionRunner runner_;
};
