#pragma once

#include "cli/CliRequest.h"
#include "cli/ExitCode.h"
#include "link/BoardLink.h"
#include "link/ReplyLines.h"
#include "transfer/TransferSink.h"
#include "transfer/Transfers.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

class HandshakeStats;
class LogFile;
class Progress;
class Report;
class SignalPipe;
class Session;

// The client's side of the transfers: the board side as the window does it, board text no
// transfer takes into the session's lines, and how a transfer ended kept for the runner.
//
// Every byte the client puts on a link goes out here, so here it is logged, once, as it was
// handed over (before a gateway wraps it), as the window logs a typed line.
class ClientSink : public BoardSink {
public:
    ClientSink(BoardLink& link, LogFile* log, Session& session)
        : BoardSink(link, log), link_(link), log_(log), session_(session) {}

    // A line for the board: the transfers' lines, and the client's own through
    // Transfers::boardCommand.
    void send(Channel channel, const QByteArray& line) override;
    // The machines ask to log the lines they send; send() has logged each already.
    void log(const QByteArray&) override {}
    // Exactly these bytes on the open link, past any gateway: a MODBUS frame.
    std::optional<Failure> sendRaw(const QByteArray& bytes);
    void boardText(const QByteArray& text) override;
    void boardMessage(const QByteArray& text) override;
    void errorBox(const Failure& failure) override;
    void notice(const QString& text) override;
    void finished(TransferAction::End how) override { finished_ = how; }

    std::optional<TransferAction::End> finishedHow() const { return finished_; }
    const std::optional<Failure>& errorBoxFailure() const { return errorBox_; }
    qint64 sends() const { return sends_; }

private:
    void logSent(const QByteArray& bytes);

    BoardLink& link_;
    LogFile* log_;
    Session& session_;
    std::optional<TransferAction::End> finished_;
    std::optional<Failure> errorBox_;
    qint64 sends_ = 0;
};

// What every runner works with: the request, the link, the transfers on it, the board text no
// transfer took (a line at a time), and the few ways a run ends that the runners share.
class Session {
public:
    enum class Status { Got, TimedOut, Interrupted, LinkLost };
    struct Next {
        Status status = Status::TimedOut;
        QByteArray bytes;
        qint64 arrivedNs = 0; // on nowNs(), when its last byte came
    };

    Session(const CliRequest& request, LogFile* log, SignalPipe& interrupt, Report& report,
            Progress& progress, HandshakeStats& stats);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const CliRequest& request;
    LogFile* log; // null without --log
    SignalPipe& interrupt;
    Report& report;
    Progress& progress;
    HandshakeStats& stats;
    BoardLink link;
    ClientSink sink;
    Transfers transfers;

    // Opens the link; the exit code when it could not be opened (already reported). `chunks`:
    // keep the raw chunks for nextChunk (modbus and monitor read what came as it came).
    std::optional<int> openLink(bool chunks = false);

    // Runs the event loop until the board sends something, a signal comes, the link goes or
    // timeoutMs pass; whatever came has been handed on (to the transfers, the lines) on return.
    Status waitForBoard(int timeoutMs);
    // Waits while the running transfer runs. The wait gives up after --timeout without a step
    // forward (a command sent, bytes written), and at a signal or a lost link. `onStep` is
    // called after every step (for the progress bar). Got: the transfer ended.
    Status waitForTransfer(const std::function<void()>& onStep = {});
    // Before the run ends: a reply that ended in a CR may still have its LF on the way; it is
    // waited for (--quiet-ms at most), so the next run on the port does not read it.
    void awaitLineEnd();
    // Board text no transfer took, a whole line at a time, and raw chunks.
    Next nextLine(int timeoutMs);
    Next nextChunk(int timeoutMs);
    // Board text after the last whole line, taken out.
    QByteArray takePartial() { return lines_.takePartial(); }
    void addLines(const QByteArray& text);
    qint64 nowNs() const { return clock_.nsecsElapsed(); }
    // "UDP 10.0.0.5:111 from local port 5812", "serial /dev/ttyUSB0 at 9600 baud".
    QString linkName() const;

    // One line on standard error, then the code to exit with.
    int fail(ExitCode code, const QString& message) const;
    void note(const QString& message) const;        // one line on standard error, no failure
    void printBoard(const QByteArray& bytes) const; // board output on standard output

    // A wait that brought no answer: timed out, interrupted or the link lost. `during` says
    // what was waiting ("line 12 of 40").
    int notAnswered(Status status, const QString& during) const;
    // The exit code for a send or a local file that failed while a step was carried out.
    std::optional<int> stepFailure();
    int sendFailed(const Failure& failure) const;

    // A line for the board on whichever link is open, as a typed line goes; the exit code when
    // it could not be sent.
    std::optional<int> sendLine(const QByteArray& line);
    // Board text up to its "OK" (0) or "ERROR" (4), printed as it comes; silence of
    // --quiet-ms after some answer also ends it. `what` names the command for messages.
    int awaitAnswer(const QString& what);

private:
    void onBoardText(const QByteArray& text, const QString& otherSender);
    Next take(QList<Next>& from, int timeoutMs);

    QElapsedTimer clock_;
    ReplyLines lines_;
    QList<Next> lineQueue_;
    QList<Next> chunkQueue_;
    bool keepChunks_ = false;
    std::optional<Failure> lost_;
};
