#pragma once

#include "core/Failure.h"
#include "link/BoardLink.h"
#include "transfer/TransferAction.h"

#include <QByteArray>
#include <QString>
#include <optional>

class LogFile;

// Where a transfer's actions land: the board side (the link, the log, the pauses) and what the
// operator is shown. The window's sink drives its controls, the client's prints, a test's
// records. What a front end has no place for it leaves alone.
class TransferSink {
public:
    virtual ~TransferSink() = default;

    virtual void send(Channel channel, const QByteArray& line) = 0;
    // On the serial link alone the terminal paces its commands with a pause.
    virtual bool udpOpen() const = 0;
    virtual void log(const QByteArray& line) = 0;
    virtual void pause(int ms) = 0;
    // Whom an answer is awaited from ("127.0.0.1:111", "/dev/ttyUSB0"); empty with no link
    // open, and then nothing is waited for.
    virtual QString boardName() const { return {}; }

    // Board text while no transfer takes it, and the rest of a reply after a transfer ended.
    virtual void boardText(const QByteArray& /*text*/) {}
    virtual void setCommandLine(const QByteArray& /*text*/) {}
    virtual void focusCommandLine() {}
    virtual void consoleAppend(const QByteArray& /*text*/) {}
    // A reply that answers nothing (an echo, a message of the board's own).
    virtual void boardMessage(const QByteArray& /*text*/) {}
    virtual void consoleReplace(const QByteArray& /*text*/) {}
    virtual void consoleToEnd() {}
    virtual void progressText(const QString& /*text*/) {}
    virtual void progressMax(qint64 /*value*/) {}
    virtual void progressValue(qint64 /*value*/) {}
    virtual void errorBox(const Failure& /*failure*/) {}
    // A word from the terminal itself, such as a reply set aside.
    virtual void notice(const QString& /*text*/) {}
    virtual void finished(TransferAction::End /*how*/) {}
};

// The board side as the window and the client both carry it out: each line goes out on the
// link as a fresh copy (a gateway rewrites its own), log lines go to the log, pauses block the
// thread on purpose (a reply that arrives meanwhile waits, or the board would get the next
// command early).
class BoardSink : public TransferSink {
public:
    BoardSink(BoardLink& link, LogFile* log) : link_(link), log_(log) {}

    void send(Channel channel, const QByteArray& line) override;
    bool udpOpen() const override { return link_.udpOpen(); }
    QString boardName() const override;
    void log(const QByteArray& line) override;
    void pause(int ms) override;

    // The first send that failed since the last look, for a front end that must stop on it.
    std::optional<Failure> takeSendFailure();
    bool hasSendFailure() const { return sendFailure_.has_value(); }
    // Time spent in pauses: the protocol's, not the terminal's own work.
    qint64 pausedNs() const { return pausedNs_; }

private:
    BoardLink& link_;
    LogFile* log_;
    std::optional<Failure> sendFailure_;
    qint64 pausedNs_ = 0;
};
