#pragma once

#include "core/TargetFile.h"
#include "link/ReplyLines.h"
#include "link/ReplyWatch.h"
#include "transfer/BasicTransfers.h"
#include "transfer/FlashDiskTransfers.h"

#include <QByteArray>
#include <QString>
#include <optional>

class TransferSink;

// The transfers of one session, as the window and the client both run them: the BASIC
// program machine and the flash-disk machine, their local files, and the board's text.
//
// While a transfer runs, the board's text reaches it as whole reply lines, however the bytes
// were cut into datagrams, serial reads or frames; a line is handed to the running transfer in
// the order program download, program upload, file send, file receive. What no transfer takes
// (all text while none runs, and what follows the line that ended one) goes to the sink's
// board text. Every action a machine asks for is carried out here, against the sink and the
// machine's own local file; a file that cannot be written ends its transfer instead of letting
// it report a whole file.
//
// Every request that expects an answer (a command line, an upload line, a flash-disk command)
// is watched: should the board stay silent past the watch's limit, the operator is told once,
// with what waits and which button goes on. Nothing is sent again by itself.
class Transfers {
public:
    explicit Transfers(TransferSink& sink);
    Transfers(const Transfers&) = delete;
    Transfers& operator=(const Transfers&) = delete;

    const BasicTransfers& basic() const { return basic_; }
    const FlashDiskTransfers& flash() const { return flash_; }
    const TargetFile& programFile() const { return programFile_; }
    const TargetFile& flashFile() const { return flashFile_; }
    bool running() const { return basic_.running() || flash_.running(); }

    // "BASIC Files". Before either dialog a running download ends, so nothing it receives is
    // written later.
    void closeProgramFile();
    void startUpload(const Expected<QByteArray>& programFile);
    void uploadNextLine(); // ">>": the next line without waiting for a reply
    void stopUpload();     // "X": the upload stops where it stands
    void startDownload(const QString& targetPath);
    void boardCommand(const QByteArray& word); // NEW, STATUS

    // "Flash disk".
    void startSend(const QByteArray& boardName, const Expected<QByteArray>& file);
    void startReceive(const QByteArray& boardName, const QString& targetPath);
    void closeFlashDisk(); // "X": the close routine, also with nothing running

    // The link went away: every transfer ends where it stands.
    void stopAll();

    // A line typed for the board: its answer would land in a running download's file, so the
    // download ends first (its file stays partial).
    void commandLineTyped();
    // The typed line went out: its answer is waited for (an empty line expects none).
    void commandLineSent(const QByteArray& line);

    // Off until a front end sets its limit.
    ReplyWatch& replyWatch() { return watch_; }

    // Board text as the link delivers it. `otherSender` names the sender of a datagram that did
    // not come from the board's address and port (empty for the board): a transfer takes no
    // reply from it, the console shows it.
    void receive(const QByteArray& text, const QString& otherSender = QString());
    // The last reply ended in a CR whose LF may still come: a terminal about to go away waits
    // for it, so it is not left for the next one to read.
    bool awaitsLineEnd() const { return lines_.afterCr(); }

private:
    enum class Machine { Program, Flash };
    // Who takes the next reply line: the first running of download, upload, send, receive.
    enum class Taker { None, Download, Upload, Send, Receive };

    Taker taker() const;
    void take(const QByteArray& line);
    // After a start: the board's text from before it is not the started transfer's.
    void answersFromHere(Taker started);
    void setAside(const QByteArray& text, const QString& otherSender);
    void toConsole(const QByteArray& text);
    void carryOut(const TransferActions& actions, Machine machine);
    // After every step: a transfer that ended gives back the start of a line it was waiting on.
    void settle();
    // After a step that sent: what the transfer now waits on, or the end of the wait.
    void watchAfter(const QByteArray& request, bool boardCommand = false);
    QString waitingFor() const;
    void tellSilence(int limitMs, const QString& what);

    TransferSink& sink_;
    BasicTransfers basic_;
    FlashDiskTransfers flash_;
    TargetFile programFile_;
    TargetFile flashFile_;
    ReplyLines lines_;
    bool lastLineTaken_ = false;       // the line before went to a transfer, not to the console
    bool toldSetAside_ = false;        // the console has heard that a stray reply was set aside
    bool earlierLine_ = false;         // the line not yet ended began before the transfer taking it
    Taker settledTaker_ = Taker::None; // who took the board's lines when the last step ended
    ReplyWatch watch_;
    QByteArray lastRequest_; // the first word of the line a running transfer sent last
    int flashPieces_ = 0;    // the WRITE or READ steps of the running flash-disk transfer
};
