#include "cli/Session.h"

#include "cli/ActionCarrier.h"
#include "cli/HandshakeStats.h"
#include "cli/Interrupt.h"
#include "cli/LinkAdapter.h"
#include "cli/Progress.h"

#include <cstdio>

Session::Session(const CliRequest& r, LogFile* l, Interrupt& i, Progress& p, HandshakeStats& s)
    : request(r), log(l), interrupt(i), progress(p), stats(s) {
}

Session::~Session() = default;

std::optional<int> Session::openLink(ReplyQueue::Reads reads) {
    link = std::make_unique<LinkAdapter>(request.link, log);
    QObject::connect(link.get(), &LinkAdapter::warning,
                     [](const QString& text) { note(QStringLiteral("warning: %1").arg(text)); });
    if (const auto failed = link->open())
        return fail(
            ExitCode::LinkFailed,
            QStringLiteral("cannot open %1: %2").arg(link->describe(), failed->description));
    replies = std::make_unique<ReplyQueue>(*link, interrupt, reads);
    return std::nullopt;
}

int Session::fail(ExitCode code, const QString& message) {
    note(message);
    return int(code);
}

void Session::note(const QString& message) {
    std::fprintf(stderr, "brenmoor-cli: %s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
}

void Session::printBoard(const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

int Session::notAnswered(ReplyQueue::Status status, const QString& during) const {
    progress.finish();
    switch (status) {
    case ReplyQueue::Status::Interrupted:
        note(QStringLiteral("interrupted: %1").arg(during));
        return interruptedExit(interrupt.signalNumber());
    case ReplyQueue::Status::LinkLost:
        return fail(ExitCode::LinkFailed,
                    QStringLiteral("the link was lost (%1): %2")
                        .arg(replies->lostBecause().value_or(Failure{}).description, during));
    case ReplyQueue::Status::TimedOut:
    case ReplyQueue::Status::Got:
        break;
    }
    return fail(ExitCode::Timeout, QStringLiteral("no answer from the board within %1 s: %2")
                                       .arg(double(request.timeoutMs) / 1000.0)
                                       .arg(during));
}

int Session::sendFailed(const Failure& failure) {
    if (failure.number == LinkAdapter::Unwrappable)
        return fail(
            ExitCode::Usage,
            QStringLiteral("the gateway cannot carry this line: %1").arg(failure.description));
    return fail(ExitCode::LinkFailed, QStringLiteral("send failed: %1").arg(failure.description));
}

std::optional<int> Session::carrierFailure(const ActionCarrier& carrier) const {
    if (!carrier.failed())
        return std::nullopt;
    progress.finish();
    if (carrier.errorBox())
        return fail(ExitCode::LocalFile, carrier.errorBox()->description);
    if (carrier.fileFailure())
        return fail(ExitCode::LocalFile, carrier.fileFailure()->description);
    return sendFailed(*carrier.sendFailure());
}

int Session::awaitAnswer(const QString& what) {
    bool answered = false;
    for (;;) {
        const ReplyQueue::Next next =
            replies->nextLine(answered ? request.quietMs : request.timeoutMs);
        if (next.status == ReplyQueue::Status::Got) {
            answered = true;
            printBoard(next.bytes);
            const QByteArray line = next.bytes.trimmed();
            if (line == "OK")
                return int(ExitCode::Done);
            if (line.startsWith("ERROR"))
                return fail(ExitCode::Refused, QStringLiteral("the board answered %1 to %2")
                                                   .arg(QString::fromLatin1(line), what));
            continue;
        }
        if (next.status != ReplyQueue::Status::TimedOut)
            return notAnswered(next.status, what);
        // Silence: an answer without a line end is shown, and waited past once more.
        const QByteArray rest = replies->takePartial();
        if (!rest.isEmpty()) {
            printBoard(rest);
            answered = true;
            continue;
        }
        if (answered)
            return int(ExitCode::Done);
        return notAnswered(next.status, what);
    }
}

void Session::addHandshake(qint64 arrivedNs, qint64 pausedNs) {
    if (request.stats)
        stats.add(replies->nowNs() - arrivedNs - pausedNs);
}
