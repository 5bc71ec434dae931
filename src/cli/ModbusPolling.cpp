// modbus --every: the request polled by the window's own poller, each poll printed as a single
// request's reply is (or one JSON object a line), and the polls streamed into the CSV the
// trend window exports.
#include "cli/ModbusFigures.h"
#include "cli/Report.h"
#include "cli/Runners.h"
#include "cli/Session.h"
#include "core/FileAccess.h"
#include "modbus/HexText.h"
#include "modbus/ModbusPoller.h"
#include "modbus/ModbusReply.h"

#include <QFile>

namespace {

struct PollTally {
    qint64 polls = 0;
    qint64 answered = 0; // a reply that checks
    qint64 refused = 0;  // an exception, or a reply that does not check
    qint64 timeouts = 0;
};

// The CSV is written straight to FILE and flushed at every poll: a run ended by Ctrl+C is the
// usual way an endless poll stops, and its rows so far are the point of it.
std::optional<QString> writeCsv(QFile& file, const QByteArray& bytes) {
    if (file.write(bytes) != bytes.size() || !file.flush())
        return QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString());
    return std::nullopt;
}

QString outcomeName(TrendPoll::Outcome outcome) {
    switch (outcome) {
    case TrendPoll::Outcome::Reply:
        return QStringLiteral("reply");
    case TrendPoll::Outcome::Exception:
        return QStringLiteral("exception");
    case TrendPoll::Outcome::Timeout:
        break;
    }
    return QStringLiteral("timeout");
}

void show(Session& s, qint64 number, const TrendPoll& poll, const QByteArray& reply) {
    const ModbusReply parsed = parseModbusReply(reply, true, poll.replyMs);
    if (s.report.json()) {
        QJsonObject line{{QStringLiteral("poll"), number},
                         {QStringLiteral("atMs"), poll.atMs},
                         {QStringLiteral("outcome"), outcomeName(poll.outcome)}};
        if (poll.outcome != TrendPoll::Outcome::Timeout) {
            line.insert(QStringLiteral("reply"), hexOf(reply));
            line.insert(QStringLiteral("replyMs"), poll.replyMs);
            line.insert(QStringLiteral("parsed"), replyFields(parsed));
        }
        if (poll.outcome == TrendPoll::Outcome::Exception)
            line.insert(QStringLiteral("exception"), poll.exceptionCode);
        return s.report.jsonLine(line);
    }
    s.report.account("> " + HexText::display(s.request.modbusFrame) + '\n');
    if (poll.outcome == TrendPoll::Outcome::Timeout)
        return s.report.account(QByteArray("! no reply within ") +
                                QByteArray::number(s.request.everyMs) + " ms\n");
    s.report.account("< " + HexText::display(reply) + '\n');
    if (poll.outcome == TrendPoll::Outcome::Exception)
        return s.report.account(QByteArray("MODBUS exception ") +
                                QByteArray::number(poll.exceptionCode) + '\n');
    s.report.account(withUnixLineEnds(renderModbusReply(parsed)));
}

void count(PollTally& tally, const TrendPoll& poll) {
    ++tally.polls;
    if (poll.outcome == TrendPoll::Outcome::Timeout)
        ++tally.timeouts;
    else if (poll.outcome == TrendPoll::Outcome::Reply && poll.crcGood)
        ++tally.answered;
    else
        ++tally.refused;
}

} // namespace

int runModbusPolling(Session& s) {
    const CliRequest& r = s.request;
    QFile csv(r.csvPath);
    if (!r.csvPath.isEmpty()) {
        // The files' one policy: a regular file or a new one, never a FIFO or a device.
        if (const auto failed = FileAccess::createForWriting(csv, r.csvPath))
            return s.fail(ExitCode::LocalFile, failed->description);
        if (const auto failed = writeCsv(csv, TrendModel::csvHeader()))
            return s.fail(ExitCode::LocalFile, *failed);
    }
    if (const auto failed = s.openLink())
        return *failed;

    TrendModel trend;
    ModbusPoller poller(trend);
    std::optional<Failure> sendFailure;
    // As the builder panel: the frame goes out as built, past every gateway.
    poller.send = [&](const QByteArray& frame) {
        const std::optional<Failure> failed = s.sink.sendRaw(frame);
        if (failed && !sendFailure)
            sendFailure = failed;
        return !failed;
    };
    QObject::connect(&s.link, &BoardLink::received, &poller,
                     [&poller](const QByteArray& chunk, Channel) { poller.received(chunk); });
    PollTally tally;
    std::optional<QString> csvFailure;
    QObject::connect(&poller, &ModbusPoller::polled,
                     [&](const TrendPoll& poll, const QByteArray& reply) {
                         count(tally, poll);
                         show(s, tally.polls, poll, reply);
                         if (csv.isOpen() && !csvFailure) {
                             csvFailure = writeCsv(csv, TrendModel::csvRows(poll));
                             if (csvFailure)
                                 poller.stop();
                         }
                     });
    s.report.set(QStringLiteral("request"), hexOf(r.modbusFrame));
    poller.start(r.modbusFrame, r.everyMs, r.count);
    while (poller.running()) {
        const Session::Status status = s.waitForBoard(r.everyMs);
        // The replies reached the poller; as board text they are nobody's, and an endless run
        // must not pile them up.
        while (s.nextLine(0).status == Session::Status::Got) {
        }
        s.takePartial();
        if (sendFailure) {
            poller.stop();
            return s.sendFailed(*sendFailure);
        }
        if (status == Session::Status::Interrupted || status == Session::Status::LinkLost) {
            poller.stop();
            return s.notAnswered(status,
                                 QStringLiteral("polling, after %1 polls").arg(tally.polls));
        }
    }
    s.report.set(QStringLiteral("polls"), tally.polls);
    s.report.set(QStringLiteral("answered"), tally.answered);
    s.report.set(QStringLiteral("refused"), tally.refused);
    s.report.set(QStringLiteral("timeouts"), tally.timeouts);
    if (csvFailure)
        return s.fail(ExitCode::LocalFile, *csvFailure);
    const QString tallyText = QStringLiteral("%1 polls: %2 answered, %3 refused, %4 timed out")
                                  .arg(tally.polls)
                                  .arg(tally.answered)
                                  .arg(tally.refused)
                                  .arg(tally.timeouts);
    // A refusal says more about the board than a lost reply does: it wins.
    if (tally.refused > 0)
        return s.fail(ExitCode::Refused, tallyText);
    if (tally.timeouts > 0)
        return s.fail(ExitCode::Timeout, tallyText);
    s.report.summary(tallyText);
    return 0;
}
