// put and get: files to and from the board's flash disk, in the window's hex pieces.
#include "cli/ActionCarrier.h"
#include "cli/LinkAdapter.h"
#include "cli/LocalFiles.h"
#include "cli/Progress.h"
#include "cli/Runners.h"
#include "cli/Session.h"
#include "core/Cp1251.h"
#include "transfer/FlashDiskTransfers.h"

#include <QFileInfo>

namespace {

const QByteArray CrLf = QByteArrayLiteral("\r\n");

QString replyText(const QByteArray& reply) {
    return Cp1251::toText(reply.trimmed());
}

// The board's answer to the CLOSE that ended a put: only then is the file known to be whole.
int awaitClose(Session& s, const QString& name) {
    for (;;) {
        const ReplyQueue::Next next = s.replies->nextLine(s.request.timeoutMs);
        if (next.status != ReplyQueue::Status::Got)
            return s.notAnswered(next.status,
                                 QStringLiteral("the answer to CLOSE of %1").arg(name));
        const flash::Reply reply = flash::reply(next.bytes);
        if (reply == flash::Reply::Error)
            return Session::fail(
                ExitCode::Refused,
                QStringLiteral("the board answered %1 to CLOSE").arg(replyText(next.bytes)));
        if (reply == flash::Reply::Ok)
            return 0;
        Session::printBoard(next.bytes);
    }
}

// An empty file: the window refuses to send one, but a script copying a directory must be
// able to. The board's file is opened for writing and closed at once.
int putEmpty(Session& s, FlashDiskTransfers& flash, ActionCarrier& carrier,
             const QByteArray& name) {
    const QByteArray open = flash::openCommand(name, "WN");
    carrier.carryOut({act::commandLine(open), act::sendUdp(open + CrLf),
                      act::sendSerial(open + CrLf), act::logLine(open + CrLf)});
    if (const auto failed = s.carrierFailure(carrier))
        return *failed;
    for (;;) {
        const ReplyQueue::Next next = s.replies->nextLine(s.request.timeoutMs);
        if (next.status != ReplyQueue::Status::Got) {
            carrier.carryOut(flash.Command5_Click());
            return s.notAnswered(next.status, QStringLiteral("the answer to FOPEN"));
        }
        const flash::Reply reply = flash::reply(next.bytes);
        if (reply == flash::Reply::Other)
            continue;
        carrier.carryOut(flash.Command5_Click());
        if (reply == flash::Reply::Error)
            return Session::fail(ExitCode::Refused,
                                 QStringLiteral("the board refused %1: %2")
                                     .arg(Cp1251::toText(open), replyText(next.bytes)));
        return awaitClose(s, Cp1251::toText(name));
    }
}

} // namespace

int runPut(Session& s) {
    const QString local = s.request.args.at(0);
    const QString nameText =
        s.request.args.size() > 1 ? s.request.args.at(1) : QFileInfo(local).fileName();
    const QByteArray name = Cp1251::toBytes(nameText);
    const Expected<QByteArray> bytes = LocalFiles::readWhole(local, LocalFiles::MaxPutBytes);
    if (!bytes)
        return Session::fail(ExitCode::LocalFile, bytes.failure().description);
    if (const auto failed = s.openLink(ReplyQueue::Reads::Lines))
        return *failed;

    FlashDiskTransfers flash;
    ActionCarrier carrier(*s.link, s.log);
    if (bytes->isEmpty())
        return putEmpty(s, flash, carrier, name);
    carrier.carryOut(flash.startSend(name, *bytes));
    if (const auto failed = s.carrierFailure(carrier))
        return *failed;
    const qint64 total = bytes->size();
    s.progress.start(QStringLiteral("put"), total, QStringLiteral("bytes"));
    QByteArray lastReply;
    while (flash.SendFilesMode()) {
        const ReplyQueue::Next next = s.replies->nextLine(s.request.timeoutMs);
        if (next.status != ReplyQueue::Status::Got) {
            const qint64 sent = qMax(0, flash.FilePos() - 1);
            carrier.carryOut(flash.Command5_Click()); // CLOSE, as the window's X sends it
            return s.notAnswered(next.status,
                                 QStringLiteral("put stopped after %1 of %2 bytes; %3 on the "
                                                "board is incomplete")
                                     .arg(sent)
                                     .arg(total)
                                     .arg(nameText));
        }
        lastReply = next.bytes;
        carrier.carryOut(flash.SEND_FILES_parser(next.bytes, s.link->udpOpen()));
        s.addHandshake(next.arrivedNs, carrier.pausedNs());
        if (const auto failed = s.carrierFailure(carrier)) {
            carrier.carryOut(flash.Command5_Click());
            return *failed;
        }
        if (flash.SendFilesMode())
            s.progress.update(flash.FilePos() - 1);
    }
    if (carrier.finished() == TransferAction::End::Refused)
        return Session::fail(ExitCode::Refused,
                             QStringLiteral("the board answered %1 to the put of %2")
                                 .arg(replyText(lastReply), nameText));
    s.progress.update(total);
    s.progress.finish();
    const int code = awaitClose(s, nameText);
    if (code == 0)
        Session::note(
            QStringLiteral("put: %1 bytes from %2 to %3").arg(total).arg(local, nameText));
    return code;
}

int runGet(Session& s) {
    const QString nameText = s.request.args.at(0);
    const QString local = s.request.args.at(1);
    if (const auto failed = s.openLink(ReplyQueue::Reads::Lines))
        return *failed;
    TargetFile target;
    if (const auto failed = target.open(local))
        return Session::fail(ExitCode::LocalFile, failed->description);

    FlashDiskTransfers flash;
    ActionCarrier carrier(*s.link, s.log, &target);
    carrier.carryOut(flash.startReceive(Cp1251::toBytes(nameText)));
    if (const auto failed = s.carrierFailure(carrier)) {
        target.removeIfEmpty();
        return *failed;
    }
    s.progress.start(QStringLiteral("get"), -1, QStringLiteral("bytes"));
    QByteArray lastReply;
    while (flash.LoadFilesMode()) {
        const ReplyQueue::Next next = s.replies->nextLine(s.request.timeoutMs);
        if (next.status != ReplyQueue::Status::Got) {
            carrier.carryOut(flash.Command5_Click()); // CLOSE; the local file keeps what came
            target.removeIfEmpty();
            return s.notAnswered(
                next.status,
                target.written() > 0
                    ? QStringLiteral("%1 is partial: %2 bytes").arg(local).arg(target.written())
                    : QStringLiteral("nothing of %1 came").arg(nameText));
        }
        lastReply = next.bytes;
        carrier.carryOut(flash.LOAD_FILES_parser(next.bytes, s.link->udpOpen()));
        s.addHandshake(next.arrivedNs, carrier.pausedNs());
        if (const auto failed = s.carrierFailure(carrier)) {
            carrier.carryOut(flash.Command5_Click());
            return *failed;
        }
        s.progress.update(target.written());
    }
    s.progress.finish();
    if (carrier.finished() == TransferAction::End::Refused) {
        target.removeIfEmpty();
        return Session::fail(ExitCode::Refused,
                             QStringLiteral("the board answered %1 to the get of %2%3")
                                 .arg(replyText(lastReply), nameText,
                                      target.written() > 0
                                          ? QStringLiteral("; %1 is partial: %2 bytes")
                                                .arg(local)
                                                .arg(target.written())
                                          : QString()));
    }
    // The board's answer to the closing CLOSE, so it is not left for the next run to read; the
    // file is whole either way, so a missing answer only costs the wait.
    for (ReplyQueue::Next next = s.replies->nextLine(s.request.quietMs);
         next.status == ReplyQueue::Status::Got && flash::reply(next.bytes) == flash::Reply::Other;
         next = s.replies->nextLine(s.request.quietMs)) {
    }
    Session::note(
        QStringLiteral("get: %1 bytes from %2 into %3").arg(target.written()).arg(nameText, local));
    return 0;
}
