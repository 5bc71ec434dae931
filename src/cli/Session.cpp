#include "cli/Session.h"

#include "cli/HandshakeStats.h"
#include "cli/Progress.h"
#include "cli/Report.h"
#include "core/LogFile.h"
#include "core/SignalPipe.h"
#include "link/PortChoice.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace {

// A drawn local port may be taken by another program; the window would fail quietly, a script
// is better served by another draw.
constexpr int LocalPortDraws = 8;

QString describeLink(const LinkSpec& spec, const BoardLink& link) {
    if (spec.kind == LinkSpec::Kind::Udp) {
        const QString remote = QStringLiteral("UDP %1:%2").arg(spec.host).arg(spec.remotePort);
        return link.udpOpen()
                   ? QStringLiteral("%1 from local port %2").arg(remote).arg(link.localPort())
                   : remote;
    }
    const QString port =
        spec.portPath.isEmpty() ? QStringLiteral("COM%1").arg(spec.commNumber) : spec.portPath;
    return QStringLiteral("serial %1 at %2 baud").arg(port).arg(spec.speed);
}

} // namespace

void ClientSink::send(Channel channel, const QByteArray& line) {
    ++sends_;
    BoardSink::send(channel, line);
    // A line goes to both links; the one that is open carries it.
    if (channel == Channel::Udp ? link_.udpOpen() : link_.serialOpen())
        logSent(line);
}

std::optional<Failure> ClientSink::sendRaw(const QByteArray& bytes) {
    logSent(bytes);
    return link_.sendRaw(link_.udpOpen() ? Channel::Udp : Channel::Serial, bytes);
}

void ClientSink::logSent(const QByteArray& bytes) {
    // A log that cannot be written is told by the link, once per run of failures.
    if (log_)
        log_->append(bytes);
}

void ClientSink::boardText(const QByteArray& text) {
    session_.addLines(text);
}

void ClientSink::boardMessage(const QByteArray& text) {
    session_.printBoard(text); // the board's own messages during an upload stay visible
}

void ClientSink::notice(const QString& text) {
    session_.note(QStringLiteral("warning: %1").arg(text));
}

void ClientSink::errorBox(const Failure& failure) {
    if (!errorBox_)
        errorBox_ = failure;
}

Session::Session(const CliRequest& r, LogFile* l, SignalPipe& i, Report& out, Progress& p,
                 HandshakeStats& s)
    : request(r), log(l), interrupt(i), report(out), progress(p), stats(s), link(l),
      sink(link, l, *this), transfers(sink) {
    clock_.start();
    QObject::connect(&link, &BoardLink::boardText,
                     [this](const QByteArray& text, const QString& otherSender) {
                         onBoardText(text, otherSender);
                     });
    QObject::connect(&link, &BoardLink::received, [this](const QByteArray& chunk, Channel) {
        if (keepChunks_)
            chunkQueue_.append({Status::Got, chunk, nowNs()});
    });
    QObject::connect(&link, &BoardLink::failed, [this](const Failure& why) {
        note(QStringLiteral("warning: %1").arg(why.description));
    });
    QObject::connect(&link, &BoardLink::frameError, [this](const QByteArray& message) {
        note(QStringLiteral("warning: %1").arg(QString::fromLatin1(message.trimmed())));
    });
    QObject::connect(&link, &BoardLink::lost, [this](const Failure& why) { lost_ = why; });
}

void Session::onBoardText(const QByteArray& text, const QString& otherSender) {
    // The client's own time per handshake: from the reply's text to the next command handed to
    // the link, pauses the protocol asks for left out.
    const qint64 start = nowNs();
    const qint64 pausedBefore = sink.pausedNs();
    const qint64 sendsBefore = sink.sends();
    transfers.receive(text, otherSender);
    if (request.stats && sink.sends() != sendsBefore)
        stats.add(nowNs() - start - (sink.pausedNs() - pausedBefore));
}

void Session::addLines(const QByteArray& text) {
    for (ReplyLines::Line& line : lines_.feed(text)) {
        if (!line.endOfPrevious)
            lineQueue_.append({Status::Got, std::move(line.bytes), nowNs()});
        else if (!lineQueue_.isEmpty())
            lineQueue_.last().bytes += line.bytes; // the LF of the CR LF it ends
        else if (request.raw)
            printBoard(line.bytes); // the line it ends went out already; --raw keeps every byte
    }
}

std::optional<int> Session::openLink(bool chunks) {
    keepChunks_ = chunks;
    const LinkSpec& spec = request.link;
    if (spec.viaUsb)
        link.setUdpGateway(spec.viaUsb);
    link.setSerialForm(spec.framed   ? SerialForm::Framed
                       : spec.viaUsb ? SerialForm::Mdc
                                     : SerialForm::Plain,
                       spec.framed ? QString::number(spec.frameAddress)
                                   : QString::fromLatin1(spec.viaUsb.value_or(QByteArray())));
    std::optional<Failure> failed;
    if (spec.kind == LinkSpec::Kind::Udp) {
        for (int draw = 0; draw < LocalPortDraws; ++draw) {
            const QString port =
                spec.localPort ? QString::number(*spec.localPort) : PortChoice::drawLocalPort();
            failed = link.openUdp(spec.host, QString::number(spec.remotePort), port);
            if (!failed || spec.localPort || failed->number != ErrorNumber::AddressInUse)
                break;
        }
    } else {
        failed = link.openSerial(
            QStringLiteral("%1,n,8,1").arg(spec.speed),
            spec.portPath.isEmpty() ? QStringLiteral("COM%1").arg(spec.commNumber) : spec.portPath);
        // Whatever waits already was sent before this run asked anything (an answer the last
        // run did not stay for); handed on, it would be taken for the answer to our first line.
        if (!failed)
            link.discardSerialInput();
    }
    if (failed && spec.kind == LinkSpec::Kind::Udp && spec.localPort &&
        failed->number == ErrorNumber::AddressInUse)
        return fail(ExitCode::LinkFailed,
                    QStringLiteral("cannot open UDP: local port %1 is in use by another program")
                        .arg(*spec.localPort));
    if (failed)
        return fail(ExitCode::LinkFailed,
                    QStringLiteral("cannot open %1: %2").arg(linkName(), failed->description));
    return std::nullopt;
}

QString Session::linkName() const {
    return describeLink(request.link, link);
}

Session::Status Session::waitForBoard(int timeoutMs) {
    // The pipe is read here, not only by its notifier: while replies keep coming, the loop
    // below ends on each one before the notifier's turn, and the signal would wait for the
    // transfer's end.
    interrupt.drain();
    if (interrupt.signalNumber() != 0)
        return Status::Interrupted;
    if (lost_)
        return Status::LinkLost;
    // The event loop runs only here: the link's reads, the serial poll and the signal pipe all
    // come in through it.
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    bool got = false;
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&link, &BoardLink::received, &loop, [&] {
        got = true;
        loop.quit();
    });
    QObject::connect(&link, &BoardLink::lost, &loop, &QEventLoop::quit);
    QObject::connect(&interrupt, &SignalPipe::raised, &loop, &QEventLoop::quit);
    timer.start(qMax(0, timeoutMs));
    loop.exec();
    interrupt.drain();
    if (interrupt.signalNumber() != 0)
        return Status::Interrupted;
    if (got)
        return Status::Got;
    return lost_ ? Status::LinkLost : Status::TimedOut;
}

Session::Status Session::waitForTransfer(const std::function<void()>& onStep) {
    const auto mark = [this] {
        return sink.sends() + transfers.programFile().written() + transfers.flashFile().written();
    };
    qint64 seen = mark();
    QDeadlineTimer deadline(request.timeoutMs);
    while (transfers.running()) {
        if (deadline.hasExpired())
            return Status::TimedOut;
        const Status status = waitForBoard(int(qMax<qint64>(0, deadline.remainingTime())));
        if (status == Status::Interrupted || status == Status::LinkLost)
            return status;
        if (sink.hasSendFailure())
            return Status::Got; // the runner reports it
        if (const qint64 now = mark(); now != seen) {
            seen = now;
            deadline = QDeadlineTimer(request.timeoutMs);
            if (onStep)
                onStep();
        }
    }
    return Status::Got;
}

void Session::awaitLineEnd() {
    if (transfers.awaitsLineEnd())
        waitForBoard(request.quietMs);
}

Session::Next Session::nextLine(int timeoutMs) {
    return take(lineQueue_, timeoutMs);
}

Session::Next Session::nextChunk(int timeoutMs) {
    return take(chunkQueue_, timeoutMs);
}

Session::Next Session::take(QList<Next>& from, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (interrupt.signalNumber() != 0)
            return {Status::Interrupted, {}, 0};
        if (!from.isEmpty())
            return from.takeFirst();
        if (lost_)
            return {Status::LinkLost, {}, 0};
        if (deadline.hasExpired())
            return {Status::TimedOut, {}, 0};
        waitForBoard(int(qMax<qint64>(0, deadline.remainingTime())));
    }
}

int Session::fail(ExitCode code, const QString& message) const {
    return report.fail(code, message);
}

void Session::note(const QString& message) const {
    report.note(message);
}

void Session::printBoard(const QByteArray& bytes) const {
    report.board(bytes);
}

int Session::notAnswered(Status status, const QString& during) const {
    progress.finish();
    switch (status) {
    case Status::Interrupted:
        return report.fail(interruptedExit(interrupt.signalNumber()),
                           QStringLiteral("interrupted: %1").arg(during));
    case Status::LinkLost:
        return fail(ExitCode::LinkFailed, QStringLiteral("the link was lost (%1): %2")
                                              .arg(lost_.value_or(Failure{}).description, during));
    case Status::TimedOut:
    case Status::Got:
        break;
    }
    return fail(ExitCode::Timeout, QStringLiteral("no answer from the board within %1 s: %2")
                                       .arg(double(request.timeoutMs) / 1000.0)
                                       .arg(during));
}

int Session::sendFailed(const Failure& failure) const {
    if (failure.number == ErrorNumber::InvalidSetting)
        return fail(
            ExitCode::Usage,
            QStringLiteral("the gateway cannot carry this line: %1").arg(failure.description));
    return fail(ExitCode::LinkFailed, QStringLiteral("send failed: %1").arg(failure.description));
}

std::optional<int> Session::stepFailure() {
    if (const std::optional<Failure> failed = sink.takeSendFailure()) {
        progress.finish();
        return sendFailed(*failed);
    }
    if (const std::optional<Failure>& box = sink.errorBoxFailure()) {
        progress.finish();
        return fail(ExitCode::LocalFile, box->description);
    }
    return std::nullopt;
}

std::optional<int> Session::sendLine(const QByteArray& line) {
    report.lineSent();
    transfers.boardCommand(line);
    return stepFailure();
}

int Session::awaitAnswer(const QString& what) {
    bool answered = false;
    for (;;) {
        const Next next = nextLine(answered ? request.quietMs : request.timeoutMs);
        if (next.status == Status::Got) {
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
        if (next.status != Status::TimedOut)
            return notAnswered(next.status, what);
        // Silence: an answer without a line end is shown, and waited past once more.
        const QByteArray rest = takePartial();
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
