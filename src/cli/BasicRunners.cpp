// send, new, status, upload, download and verify: the board's command line and its BASIC
// program.
#include "cli/LocalFiles.h"
#include "cli/Progress.h"
#include "cli/Report.h"
#include "cli/Runners.h"
#include "cli/Session.h"
#include "core/Cp1251.h"
#include "core/FileAccess.h"
#include "core/LineEnds.h"
#include "transfer/BasicTransfers.h"

#include <QJsonObject>
#include <QTemporaryDir>

namespace {

// The largest UDP payload over IPv4.
constexpr qsizetype MaxDatagram = 65507;

int refusedLine(Session& s, const QString& path, const QList<QByteArray>& program, int line) {
    const QByteArray text = line >= 1 && line <= program.size() ? program.at(line - 1) : "";
    s.report.set(QStringLiteral("refusedLine"), line);
    return s.fail(ExitCode::Refused, QStringLiteral("the board refused line %1 of %2: %3")
                                         .arg(line)
                                         .arg(path, Cp1251::toText(text)));
}

// A program file, and its lines as upload sends them: the file's guard, then the board's line
// rules.
struct ProgramFile {
    QByteArray bytes;
    QList<QByteArray> lines;
};

Expected<ProgramFile> readProgramFile(const QString& path) {
    const Expected<QByteArray> file = LocalFiles::readProgram(path);
    if (!file)
        return file.failure();
    const Expected<QList<QByteArray>> lines = basic::readProgram(*file);
    if (!lines)
        return Failure{lines.failure().number,
                       QStringLiteral("%1: %2").arg(path, lines.failure().description)};
    return ProgramFile{*file, *lines};
}

// The board's listing into `target` by the download transfer. `shownPath`: the file the
// operator named, which messages about a partial listing name (empty: a listing kept in memory
// only). nullopt once the whole listing is in; otherwise the exit code, reported.
std::optional<int> fetchListing(Session& s, const QString& target, const QString& shownPath) {
    if (const auto failed = s.openLink())
        return failed;
    const TargetFile& file = s.transfers.programFile();
    s.transfers.startDownload(target);
    if (const auto failed = s.stepFailure())
        return failed;
    s.progress.start(QStringLiteral("download"), -1, QStringLiteral("bytes"));
    const Session::Status status = s.waitForTransfer([&] { s.progress.update(file.written()); });
    if (!shownPath.isEmpty()) {
        s.report.set(QStringLiteral("bytes"), file.written());
        if (file.written() > 0 && (status != Session::Status::Got ||
                                   s.sink.finishedHow() != TransferAction::End::Completed))
            s.report.set(QStringLiteral("partial"), file.partPath());
    }
    if (const auto failed = s.stepFailure()) {
        s.transfers.closeProgramFile();
        return failed;
    }
    const QString part = shownPath.isEmpty()
                             ? QStringLiteral("%1 bytes of the listing came").arg(file.written())
                             : QStringLiteral("%1 is partial: %2 bytes of the listing")
                                   .arg(file.partPath())
                                   .arg(file.written());
    if (status != Session::Status::Got) {
        s.transfers.closeProgramFile();
        return s.notAnswered(
            status, file.written() > 0 ? part : QStringLiteral("nothing of the listing came"));
    }
    s.progress.finish();
    if (s.sink.finishedHow() == TransferAction::End::Completed)
        return std::nullopt;
    const QByteArray why = s.transfers.basic().lastReply().trimmed();
    return s.fail(
        ExitCode::Refused,
        QStringLiteral("%1; %2").arg(
            basic::downloadReply(why) == basic::Reply::LoginPrompt
                ? QStringLiteral("the board asks for a login")
                : QStringLiteral("the board refused the listing: %1").arg(Cp1251::toText(why)),
            file.written() == 0   ? QStringLiteral("nothing saved")
            : shownPath.isEmpty() ? part
                                  : QStringLiteral("%1 keeps the %2 bytes before it")
                                        .arg(file.partPath())
                                        .arg(file.written())));
}

QJsonValue textOrNull(const QList<QByteArray>& lines, qsizetype i) {
    return i < lines.size() ? QJsonValue(Cp1251::toText(lines.at(i))) : QJsonValue();
}

QString lineOrNone(const QList<QByteArray>& lines, qsizetype i) {
    return i < lines.size() ? Cp1251::toText(lines.at(i)) : QStringLiteral("no such line");
}

} // namespace

int runSend(Session& s) {
    if (const auto failed = s.openLink())
        return *failed;
    for (const QString& typed : s.request.args) {
        if (const auto failed = s.sendLine(Cp1251::toBytes(typed)))
            return *failed;
        const int code = s.awaitAnswer(QStringLiteral("\"%1\"").arg(typed));
        if (code != 0)
            return code;
    }
    return 0;
}

int runBoardCommand(Session& s) {
    const QByteArray word = s.request.command == Command::New ? "NEW" : "STATUS";
    if (const auto failed = s.openLink())
        return *failed;
    if (const auto failed = s.sendLine(word))
        return *failed;
    return s.awaitAnswer(QString::fromLatin1(word));
}

int runUpload(Session& s) {
    const QString path = s.request.args.at(0);
    const Expected<ProgramFile> file = readProgramFile(path);
    if (!file)
        return s.fail(ExitCode::LocalFile, file.failure().description);
    const QList<QByteArray>& program = file->lines;
    // A line no datagram can carry is the file's fault, found before anything is sent.
    if (s.request.link.kind == LinkSpec::Kind::Udp) {
        const qsizetype room =
            MaxDatagram - 2 -
            (s.request.link.viaUsb ? qsizetype(5 + s.request.link.viaUsb->size()) : 0);
        for (qsizetype i = 0; i < program.size(); ++i) {
            if (program.at(i).size() > room)
                return s.fail(ExitCode::LocalFile, QStringLiteral("%1: line %2 is longer than a "
                                                                  "datagram carries (%3 bytes)")
                                                       .arg(path)
                                                       .arg(i + 1)
                                                       .arg(room));
        }
    }
    const int total = int(program.size());
    s.report.set(QStringLiteral("file"), path);
    s.report.set(QStringLiteral("lines"), total);
    s.report.set(QStringLiteral("accepted"), 0);
    if (total == 0) {
        s.report.summary(QStringLiteral("%1 holds no line; nothing sent").arg(path));
        return 0;
    }
    if (const auto failed = s.openLink())
        return *failed;

    const BasicTransfers& basic = s.transfers.basic();
    s.progress.start(QStringLiteral("upload"), total, QStringLiteral("lines"));
    s.transfers.startUpload(file->bytes);
    const auto accepted = [&](int lines) {
        s.report.set(QStringLiteral("accepted"), lines);
    };
    const Session::Status status = s.waitForTransfer([&] {
        const int done = basic.uploading() ? basic.lineSent() - 1 : total - 1;
        s.progress.update(done);
        accepted(done);
    });
    if (const auto failed = s.stepFailure())
        return *failed;
    // The line sent last: the one refused, or the one whose answer did not come.
    const int sentLast = basic.lineSent();
    if (status != Session::Status::Got) {
        s.transfers.stopUpload();
        return s.notAnswered(status, QStringLiteral("upload stopped at line %1 of %2; the lines "
                                                    "before it are in the board")
                                         .arg(sentLast)
                                         .arg(total));
    }
    if (s.sink.finishedHow() == TransferAction::End::Refused) {
        s.progress.finish();
        accepted(sentLast - 1);
        return refusedLine(s, path, program, sentLast);
    }

    // Every line is out; the board's answer to the last one decides.
    for (;;) {
        const Session::Next next = s.nextLine(s.request.timeoutMs);
        if (next.status != Session::Status::Got)
            return s.notAnswered(next.status,
                                 QStringLiteral("the answer to the last line, %1").arg(total));
        const basic::Reply reply = basic::uploadReply(next.bytes);
        if (reply == basic::Reply::Error) {
            s.progress.finish();
            return refusedLine(s, path, program, total);
        }
        if (reply == basic::Reply::Ok)
            break;
        s.printBoard(next.bytes);
    }
    s.progress.update(total);
    s.progress.finish();
    accepted(total);
    s.report.summary(QStringLiteral("upload: %1 lines of %2 accepted").arg(total).arg(path));
    return 0;
}

int runDownload(Session& s) {
    const QString path = s.request.args.at(0);
    s.report.set(QStringLiteral("file"), path);
    if (const std::optional<int> failed = fetchListing(s, path, path))
        return *failed;
    s.report.summary(QStringLiteral("download: %1 bytes into %2")
                         .arg(s.transfers.programFile().written())
                         .arg(path));
    return 0;
}

int runVerify(Session& s) {
    const QString path = s.request.args.at(0);
    s.report.set(QStringLiteral("file"), path);
    const Expected<ProgramFile> file = readProgramFile(path);
    if (!file)
        return s.fail(ExitCode::LocalFile, file.failure().description);
    const QList<QByteArray>& program = file->lines;
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return s.fail(ExitCode::LocalFile,
                      QStringLiteral("no room for the listing: %1").arg(scratch.errorString()));
    const QString listingPath = scratch.filePath(QStringLiteral("listing.bas"));
    if (const std::optional<int> failed = fetchListing(s, listingPath, QString()))
        return *failed;
    const Expected<QByteArray> listing =
        FileAccess::readFile(listingPath, FileAccess::MaxProgramBytes);
    if (!listing)
        return s.fail(ExitCode::LocalFile, listing.failure().description);

    const QList<QByteArray> board = splitLines(*listing);
    s.report.set(QStringLiteral("lines"), board.size());
    qsizetype i = 0;
    while (i < program.size() && i < board.size() && program.at(i) == board.at(i))
        ++i;
    const bool equal = i == program.size() && i == board.size();
    s.report.set(QStringLiteral("equal"), equal);
    if (equal) {
        s.report.summary(
            QStringLiteral("verify: the board holds %1 as %2 lines").arg(path).arg(board.size()));
        return 0;
    }
    s.report.set(QStringLiteral("difference"),
                 QJsonObject{{QStringLiteral("line"), i + 1},
                             {QStringLiteral("file"), textOrNull(program, i)},
                             {QStringLiteral("board"), textOrNull(board, i)}});
    return s.fail(ExitCode::Refused, QStringLiteral("line %1 differs: %2 in %3, %4 on the board")
                                         .arg(i + 1)
                                         .arg(lineOrNone(program, i), path, lineOrNone(board, i)));
}
