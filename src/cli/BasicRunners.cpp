// send, new, status, upload and download: the board's command line and its BASIC program.
#include "cli/ActionCarrier.h"
#include "cli/LinkAdapter.h"
#include "cli/LocalFiles.h"
#include "cli/Progress.h"
#include "cli/Runners.h"
#include "cli/Session.h"
#include "core/Cp1251.h"
#include "core/LogFile.h"
#include "transfer/BasicTransfers.h"

namespace {

const QByteArray CrLf = QByteArrayLiteral("\r\n");

int refusedLine(const QString& path, const QList<QByteArray>& program, int line) {
    const QByteArray text = line >= 1 && line <= program.size() ? program.at(line - 1) : "";
    return Session::fail(ExitCode::Refused, QStringLiteral("the board refused line %1 of %2: %3")
                                                .arg(line)
                                                .arg(path, Cp1251::toText(text)));
}

} // namespace

int runSend(Session& s) {
    if (const auto failed = s.openLink(ReplyQueue::Reads::Lines))
        return *failed;
    for (const QString& typed : s.request.args) {
        const QByteArray line = Cp1251::toBytes(typed);
        // As the window's send path: the line goes out with CR LF and into the log as a line.
        if (const auto failed = s.link->sendLine(line + CrLf))
            return Session::sendFailed(*failed);
        if (s.log)
            s.log->append(line + CrLf);
        const int code = s.awaitAnswer(QStringLiteral("\"%1\"").arg(typed));
        if (code != 0)
            return code;
    }
    return 0;
}

int runBoardCommand(Session& s) {
    const QByteArray word = s.request.command == Command::New ? "NEW" : "STATUS";
    if (const auto failed = s.openLink(ReplyQueue::Reads::Lines))
        return *failed;
    ActionCarrier carrier(*s.link, s.log);
    carrier.carryOut(basic::boardCommand(word));
    if (const auto failed = s.carrierFailure(carrier))
        return *failed;
    return s.awaitAnswer(QString::fromLatin1(word));
}

int runUpload(Session& s) {
    const QString path = s.request.args.at(0);
    const Expected<QByteArray> file = LocalFiles::readProgram(path);
    if (!file)
        return Session::fail(ExitCode::LocalFile, file.failure().description);
    const Expected<QList<QByteArray>> program = basic::readProgram(*file);
    if (!program)
        return Session::fail(ExitCode::LocalFile,
                             QStringLiteral("%1: %2").arg(path, program.failure().description));
    if (const auto failed = s.openLink(ReplyQueue::Reads::Lines))
        return *failed;

    BasicTransfers basic;
    ActionCarrier carrier(*s.link, s.log);
    carrier.carryOut(basic.closeProgramFile());
    carrier.carryOut(basic.startUpload(*file));
    if (const auto failed = s.carrierFailure(carrier))
        return *failed;
    const int total = int(program->size());
    if (total == 0) {
        Session::note(QStringLiteral("%1 holds no line; nothing sent").arg(path));
        return 0;
    }
    s.progress.start(QStringLiteral("upload"), total, QStringLiteral("lines"));
    while (basic.SendBasicMode()) {
        const int sentLast = basic.LineIndex();
        const ReplyQueue::Next next = s.replies->nextLine(s.request.timeoutMs);
        if (next.status != ReplyQueue::Status::Got) {
            carrier.carryOut(basic.Command14_Click());
            return s.notAnswered(next.status,
                                 QStringLiteral("upload stopped at line %1 of %2; the lines "
                                                "before it are in the board")
                                     .arg(sentLast)
                                     .arg(total));
        }
        if (basic::uploadReply(next.bytes) == basic::Reply::Other)
            Session::printBoard(next.bytes); // the board's own messages stay visible
        carrier.carryOut(basic.SEND_BASIC_parser(next.bytes));
        if (basic.LineIndex() != sentLast)
            s.addHandshake(next.arrivedNs, carrier.pausedNs());
        if (const auto failed = s.carrierFailure(carrier))
            return *failed;
        if (carrier.finished() == TransferAction::End::Refused) {
            s.progress.finish();
            return refusedLine(path, *program, sentLast);
        }
        s.progress.update(basic.SendBasicMode() ? basic.LineIndex() - 1 : total - 1);
    }

    // Every line is out; the board's answer to the last one decides.
    for (;;) {
        const ReplyQueue::Next next = s.replies->nextLine(s.request.timeoutMs);
        if (next.status != ReplyQueue::Status::Got)
            return s.notAnswered(next.status,
                                 QStringLiteral("the answer to the last line, %1").arg(total));
        const basic::Reply reply = basic::uploadReply(next.bytes);
        if (reply == basic::Reply::Error) {
            s.progress.finish();
            return refusedLine(path, *program, total);
        }
        if (reply == basic::Reply::Ok)
            break;
        Session::printBoard(next.bytes);
    }
    s.progress.update(total);
    s.progress.finish();
    Session::note(QStringLiteral("upload: %1 lines of %2 accepted").arg(total).arg(path));
    return 0;
}

int runDownload(Session& s) {
    const QString path = s.request.args.at(0);
    if (const auto failed = s.openLink(ReplyQueue::Reads::Lines))
        return *failed;
    TargetFile target;
    if (const auto failed = target.open(path))
        return Session::fail(ExitCode::LocalFile, failed->description);

    BasicTransfers basic;
    ActionCarrier carrier(*s.link, s.log, &target);
    carrier.carryOut(basic.closeProgramFile());
    carrier.carryOut(basic.startDownload());
    if (const auto failed = s.carrierFailure(carrier)) {
        target.removeIfEmpty();
        return *failed;
    }
    s.progress.start(QStringLiteral("download"), -1, QStringLiteral("bytes"));
    while (basic.LoadBasicMode()) {
        const ReplyQueue::Next next = s.replies->nextLine(s.request.timeoutMs);
        if (next.status != ReplyQueue::Status::Got) {
            target.removeIfEmpty();
            return s.notAnswered(next.status,
                                 target.written() > 0
                                     ? QStringLiteral("%1 is partial: %2 bytes of the listing")
                                           .arg(path)
                                           .arg(target.written())
                                     : QStringLiteral("nothing of the listing came"));
        }
        carrier.carryOut(basic.LOAD_BASIC_parser(next.bytes));
        if (const auto failed = s.carrierFailure(carrier))
            return *failed;
        s.progress.update(target.written());
    }
    s.progress.finish();
    if (carrier.finished() == TransferAction::End::Refused) {
        target.removeIfEmpty();
        return Session::fail(ExitCode::Refused,
                             QStringLiteral("the board asks for a login; %1")
                                 .arg(target.written() > 0
                                          ? QStringLiteral("%1 keeps the %2 bytes before it")
                                                .arg(path)
                                                .arg(target.written())
                                          : QStringLiteral("nothing saved")));
    }
    target.close();
    Session::note(QStringLiteral("download: %1 bytes into %2").arg(target.written()).arg(path));
    return 0;
}
