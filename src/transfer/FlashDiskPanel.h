#pragma once

#include <QString>

class BoardLink;
class Dialogs;
class Transfers;
struct CommandLineControls;
struct FlashDiskControls;

// The "Flash disk" panel: send a local file to the board's flash disk ("Send"), receive one
// from it ("Recieve"), and the close routine behind "X". The panel asks the operator and reads
// the local file; the session's transfers do the rest. It is the one place that opens or greys
// the panel: open while a link can carry file commands (the Ethernet gateway's "MDC" lines
// cannot).
class FlashDiskPanel {
public:
    static inline const QString Filter = QStringLiteral("All files (*.*)|*.*");

    FlashDiskPanel(FlashDiskControls& flash, CommandLineControls& line, Transfers& transfers,
                   const BoardLink& link, Dialogs& dialogs)
        : flash_(flash), line_(line), transfers_(transfers), link_(link), dialogs_(dialogs) {}
    void connectControls();

    void sendFile();      // send a local file
    void receiveFile();   // receive a board file
    void closeTransfer(); // the close routine: ends either direction, sends CLOSE

    // Follows the link: called whenever a link opens or closes or its gateway changes.
    void updateEnabled();

private:
    QByteArray boardName() const;

    FlashDiskControls& flash_;
    CommandLineControls& line_;
    Transfers& transfers_;
    const BoardLink& link_;
    Dialogs& dialogs_;
};
