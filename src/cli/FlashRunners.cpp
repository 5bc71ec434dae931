// put and get: files to and from the board's flash disk, in the window's hex pieces.
#include "cli/Progress.h"
#include "cli/Report.h"
#include "cli/Runners.h"
#include "cli/Session.h"
#include "core/Cp1251.h"
#include "core/FileAccess.h"
#include "transfer/FlashDiskTransfers.h"

#include <QFileInfo>

namespace {

QString replyText(const QByteArray& reply) {
    return Cp1251::toText(reply.trimmed());
}

// The board's answer to the CLOSE that ended a put: only then is the file known to be whole.
int awaitClose(Session& s, const QString& name) {
    for (;;) {
        const Session::Next next = s.nextLine(s.request.timeoutMs);
        if (next.status != Session::Status::Got)
            return s.notAnswered(next.status,
                                 QStringLiteral("the answer to CLOSE of %1").arg(name));
        const flash::Reply reply = flash::reply(next.bytes);
        if (reply == flash::Reply::Error)
            return s.fail(
                ExitCode::Refused,
                QStringLiteral("the board answered %1 to CLOSE").arg(replyText(next.bytes)));
        if (reply == flash::Reply::BareOk)
            return 0;
        s.printBoard(next.bytes);
    }
}

// An empty file: the window refuses to send one, but a script copying a directory must be
// able to. The board's file is opened for writing and closed at once.
int putEmpty(Session& s, const QByteArray& name) {
    const QByteArray open = flash::openCommand(name, "WN");
    if (const auto failed = s.sendLine(open))
        return *failed;
    for (;;) {
        const Session::Next next = s.nextLine(s.request.timeoutMs);
        if (next.status != Session::Status::Got) {
            s.transfers.closeFlashDisk();
            return s.notAnswered(next.status, QStringLiteral("the answer to FOPEN"));
        }
        const flash::Reply reply = flash::reply(next.bytes);
        if (reply == flash::Reply::Other)
            continue;
        s.transfers.closeFlashDisk();
        if (reply == flash::Reply::Error)
            return s.fail(ExitCode::Refused, QStringLiteral("the board refused %1: %2")
                                                 .arg(Cp1251::toText(open), replyText(next.bytes)));
        return awaitClose(s, Cp1251::toText(name));
    }
}

// The reply that ended a transfer the board refused: the last line it sent.
QString lastReply(Session& s) {
    return Cp1251::toText(s.transfers.flash().lastReply().trimmed());
}

} // namespace

int runPut(Session& s) {
    const QString local = s.request.args.at(0);
    const QString nameText =
        s.request.args.size() > 1 ? s.request.args.at(1) : QFileInfo(local).fileName();
    const QByteArray name = Cp1251::toBytes(nameText);
    s.report.set(QStringLiteral("file"), local);
    s.report.set(QStringLiteral("name"), nameText);
    const Expected<QByteArray> bytes = FileAccess::readFile(local, FileAccess::MaxFlashFileBytes);
    if (!bytes)
        return s.fail(ExitCode::LocalFile, bytes.failure().description);
    s.report.set(QStringLiteral("bytes"), bytes->size());
    if (const auto failed = s.openLink())
        return *failed;
    if (bytes->isEmpty())
        return putEmpty(s, name);

    const FlashDiskTransfers& flash = s.transfers.flash();
    const qint64 total = bytes->size();
    s.progress.start(QStringLiteral("put"), total, QStringLiteral("bytes"));
    s.transfers.startSend(name, *bytes);
    const Session::Status status = s.waitForTransfer([&] {
        if (flash.sending())
            s.progress.update(flash.nextByte() - 1);
    });
    if (const auto failed = s.stepFailure()) {
        if (flash.running())
            s.transfers.closeFlashDisk();
        return *failed;
    }
    if (status != Session::Status::Got) {
        const qint64 sent = qMax(0, flash.nextByte() - 1);
        s.transfers.closeFlashDisk(); // CLOSE, as the window's X sends it
        return s.notAnswered(status, QStringLiteral("put stopped after %1 of %2 bytes; %3 on the "
                                                    "board is incomplete")
                                         .arg(sent)
                                         .arg(total)
                                         .arg(nameText));
    }
    if (s.sink.finishedHow() == TransferAction::End::Refused)
        return s.fail(
            ExitCode::Refused,
            QStringLiteral("the board answered %1 to the put of %2").arg(lastReply(s), nameText));
    s.progress.update(total);
    s.progress.finish();
    const int code = awaitClose(s, nameText);
    if (code == 0)
        s.report.summary(
            QStringLiteral("put: %1 bytes from %2 to %3").arg(total).arg(local, nameText));
    return code;
}

int runGet(Session& s) {
    const QString nameText = s.request.args.at(0);
    const QString local = s.request.args.at(1);
    s.report.set(QStringLiteral("name"), nameText);
    s.report.set(QStringLiteral("file"), local);
    if (const auto failed = s.openLink())
        return *failed;
    const TargetFile& target = s.transfers.flashFile();
    s.transfers.startReceive(Cp1251::toBytes(nameText), local);
    if (const auto failed = s.stepFailure())
        return *failed;
    s.progress.start(QStringLiteral("get"), -1, QStringLiteral("bytes"));
    const Session::Status status = s.waitForTransfer([&] { s.progress.update(target.written()); });
    s.report.set(QStringLiteral("bytes"), target.written());
    if (target.written() > 0 &&
        (status != Session::Status::Got || s.sink.finishedHow() != TransferAction::End::Completed))
        s.report.set(QStringLiteral("partial"), target.partPath());
    if (const auto failed = s.stepFailure()) {
        if (s.transfers.flash().running())
            s.transfers.closeFlashDisk();
        return *failed;
    }
    if (status != Session::Status::Got) {
        s.transfers.closeFlashDisk(); // CLOSE; the local file keeps what came
        return s.notAnswered(status, target.written() > 0
                                         ? QStringLiteral("%1 is partial: %2 bytes")
                                               .arg(target.partPath())
                                               .arg(target.written())
                                         : QStringLiteral("nothing of %1 came").arg(nameText));
    }
    s.progress.finish();
    if (s.sink.finishedHow() != TransferAction::End::Completed)
        return s.fail(ExitCode::Refused,
                      QStringLiteral("the board answered %1 to the get of %2%3")
                          .arg(lastReply(s), nameText,
                               target.written() > 0 ? QStringLiteral("; %1 is partial: %2 bytes")
                                                          .arg(target.partPath())
                                                          .arg(target.written())
                                                    : QString()));
    // The board's answer to the closing CLOSE, so it is not left for the next run to read; the
    // file is whole either way, so a missing answer only costs the wait.
    for (Session::Next next = s.nextLine(s.request.quietMs);
         next.status == Session::Status::Got && flash::reply(next.bytes) == flash::Reply::Other;
         next = s.nextLine(s.request.quietMs)) {
    }
    s.report.summary(
        QStringLiteral("get: %1 bytes from %2 into %3").arg(target.written()).arg(nameText, local));
    return 0;
}
