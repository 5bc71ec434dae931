#pragma once

#include "cli/CliRequest.h"
#include "cli/ExitCode.h"
#include "cli/ReplyQueue.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

class ActionCarrier;
class HandshakeStats;
class Interrupt;
class LinkAdapter;
class LogFile;
class Progress;

// What every runner works with, and the few ways a run ends that they share.
struct Session {
    const CliRequest& request;
    LogFile* log; // null without --log
    Interrupt& interrupt;
    Progress& progress;
    HandshakeStats& stats;

    std::unique_ptr<LinkAdapter> link;
    std::unique_ptr<ReplyQueue> replies;

    Session(const CliRequest& r, LogFile* l, Interrupt& i, Progress& p, HandshakeStats& s);
    ~Session();

    // Opens the link; the exit code when it could not be opened (already reported).
    std::optional<int> openLink(ReplyQueue::Reads reads);

    // One line on standard error, then the code to exit with.
    static int fail(ExitCode code, const QString& message);
    static void note(const QString& message);        // one line on standard error, no failure
    static void printBoard(const QByteArray& bytes); // board output on standard output

    // A wait that brought no reply: timed out, interrupted or the link lost. `during` says
    // what was waiting ("line 12 of 40").
    int notAnswered(ReplyQueue::Status status, const QString& during) const;
    // The exit code for a failure met while carrying actions out, if there was one.
    std::optional<int> carrierFailure(const ActionCarrier& carrier) const;
    static int sendFailed(const Failure& failure);

    // Board text up to its "OK" (0) or "ERROR" (4), printed as it comes; silence of
    // --quiet-ms after some answer also ends it. `what` names the command for messages.
    int awaitAnswer(const QString& what);
    void addHandshake(qint64 arrivedNs, qint64 pausedNs);
};
