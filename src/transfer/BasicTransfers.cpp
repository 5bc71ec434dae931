#include "transfer/BasicTransfers.h"

#include "core/FileAccess.h"
#include "core/LineEnds.h"

namespace {

const QByteArray CrLf = QByteArrayLiteral("\r\n");

} // namespace

namespace basic {

Reply uploadReply(QByteArrayView reply) {
    if (reply.contains("ERROR"))
        return Reply::Error;
    if (reply.contains("OK"))
        return Reply::Ok;
    return Reply::Other;
}

Reply downloadReply(QByteArrayView line) {
    const QByteArrayView text = line.trimmed();
    // A program line starts with its number and is listing whatever it holds.
    if (!text.isEmpty() && text.front() >= '0' && text.front() <= '9')
        return Reply::Other;
    if (text.contains("Login") || text.contains("Passwor"))
        return Reply::LoginPrompt;
    if (text.contains("ERROR"))
        return Reply::Error;
    if (text == "OK")
        return Reply::Ok;
    return Reply::Other;
}

QByteArray dropLeadingZeros(QByteArray line) {
    for (int i = 0; i < MaxDroppedZeros; ++i) {
        if (line.startsWith('0'))
            line = line.mid(1, ShortenedLineChars);
    }
    return line;
}

Expected<QList<QByteArray>> readProgram(QByteArrayView fileBytes) {
    // One line more than fits, to tell a full program from one that is too long.
    LineCollector collector(MaxProgramLines + 1);
    collector.feed(fileBytes);
    QList<QByteArray> lines = collector.finish();
    if (lines.size() > MaxProgramLines)
        return Failure{ErrorNumber::SubscriptOutOfRange,
                       QStringLiteral("The program has more than %1 lines").arg(MaxProgramLines)};
    for (QByteArray& line : lines)
        line = dropLeadingZeros(std::move(line));
    return lines;
}

TransferActions boardCommand(const QByteArray& word) {
    return {act::sendUdp(word + CrLf), act::sendSerial(word + CrLf)};
}

} // namespace basic

TransferActions BasicTransfers::closeProgramFile() {
    TransferActions out;
    if (downloading_) {
        downloading_ = false;
        out << act::closeFile() << act::finished(TransferAction::End::Stopped);
    }
    return out;
}

TransferActions BasicTransfers::startUpload(const Expected<QByteArray>& programFile) {
    TransferActions out = closeProgramFile();
    lineSent_ = 0;
    const Expected<QList<QByteArray>> lines =
        programFile ? basic::readProgram(*programFile)
                    : Expected<QList<QByteArray>>(programFile.failure());
    if (!lines) {
        // No upload is left running on a program read in part, not even an earlier one.
        uploading_ = false;
        out << act::errorBox(lines.failure().number, lines.failure().description);
        return out;
    }
    uploading_ = true;
    programLines_ = QList<QByteArray>{QByteArray()} + *lines;
    lineCount_ = qint16(programLines_.size() - 1);
    if (lineCount_ == 0) {
        // An empty file has no line to send.
        completeUpload(out);
        return out;
    }
    lineSent_ = 1;

    const QByteArray& first = programLines_[1];
    out << act::pause(basic::StartPauseMs) << act::sendUdp(first + CrLf)
        << act::sendSerial(first + CrLf)
        << act::consoleAppend(first.left(basic::FirstLineEchoChars) + '\n');
    if (lineSent_ == lineCount_)
        completeUpload(out);
    return out;
}

TransferActions BasicTransfers::onUploadReply(QByteArrayView line) {
    TransferActions out;
    if (!uploading_)
        return out;
    lastReply_ = line.toByteArray();
    switch (basic::uploadReply(line)) {
    case basic::Reply::Error:
        out << act::consoleAppend("Error - see  source file " + CrLf);
        uploading_ = false;
        if (downloading_)
            endDownload(out);
        out << act::finished(TransferAction::End::Refused);
        break;
    case basic::Reply::Ok:
        sendNextLine(out);
        break;
    default:
        out << act::boardMessage(line.toByteArray());
        break;
    }
    return out;
}

TransferActions BasicTransfers::nextLine() {
    TransferActions out;
    if (uploading_)
        sendNextLine(out);
    return out;
}

TransferActions BasicTransfers::stop() {
    TransferActions out;
    if (downloading_) {
        // A listing whose end never came: its file keeps what came, marked partial.
        endDownload(out);
        out << act::consoleAppend("LOAD BASIC PROGRAM STOPPED" + CrLf);
    }
    if (uploading_)
        uploading_ = false;
    else if (out.isEmpty())
        return out;
    out << act::finished(TransferAction::End::Stopped);
    return out;
}

void BasicTransfers::sendNextLine(TransferActions& out) {
    // While an upload runs, lineSent < lineCount: the last line completes it at once.
    ++lineSent_;
    const QByteArray& line = programLines_[lineSent_];
    out << act::sendUdp(line + CrLf) << act::sendSerial(line + CrLf)
        << act::consoleReplace("LOAD DATA = " + line);
    if (lineSent_ == lineCount_)
        completeUpload(out);
}

void BasicTransfers::completeUpload(TransferActions& out) {
    // Done once the last line is out; the board's answer to it is ordinary console text.
    lineSent_ = 0;
    out << act::consoleReplace("SEND BASIC PROGRAM COMPLETED" + CrLf);
    uploading_ = false;
    if (downloading_)
        endDownload(out);
    out << act::finished(TransferAction::End::Completed);
}

void BasicTransfers::endDownload(TransferActions& out, bool whole) {
    downloading_ = false;
    out << act::closeFile(whole);
}

TransferActions BasicTransfers::startDownload(const std::optional<Failure>& targetProblem) {
    TransferActions out = closeProgramFile();
    if (targetProblem) {
        out << act::errorBox(targetProblem->number, targetProblem->description);
        return out;
    }
    downloading_ = true;
    listedLines_ = 0;
    listedBytes_ = 0;
    out << act::pause(basic::StartPauseMs) << act::sendUdp("LIST" + CrLf)
        << act::sendSerial("LISt" + CrLf);
    return out;
}

TransferActions BasicTransfers::onListingLine(QByteArrayView line) {
    TransferActions out;
    if (!downloading_)
        return out;
    lastReply_ = line.toByteArray();
    switch (basic::downloadReply(line)) {
    case basic::Reply::LoginPrompt:
        refuseDownload(out, "ACCESS DENIED" + CrLf);
        break;
    case basic::Reply::Error:
        // The board's own words say why.
        refuseDownload(out, line.toByteArray() + CrLf);
        break;
    case basic::Reply::Ok:
        completeDownload(out);
        break;
    default:
        // No program is longer than an upload may be: a listing that never ends is no program.
        if (++listedLines_ > basic::MaxProgramLines ||
            (listedBytes_ += line.size()) > FileAccess::MaxProgramBytes) {
            refuseDownload(out, "LOAD BASIC PROGRAM STOPPED: MORE THAN " +
                                    QByteArray::number(basic::MaxProgramLines) + " LINES" + CrLf);
            break;
        }
        out << act::appendFile(line.toByteArray())
            << act::consoleReplace("LOAD DATA = " + line.toByteArray() + CrLf);
        break;
    }
    return out;
}

TransferActions BasicTransfers::downloadPending(QByteArrayView start) {
    // A login prompt waits for an answer rather than end its line.
    if (downloading_ && basic::downloadReply(start) == basic::Reply::LoginPrompt)
        return onListingLine(start);
    return {};
}

void BasicTransfers::refuseDownload(TransferActions& out, const QByteArray& why) {
    endDownload(out);
    out << act::consoleAppend(why);
    uploading_ = false;
    out << act::finished(TransferAction::End::Refused);
}

TransferActions BasicTransfers::downloadLineEnd(QByteArrayView lineEnd) {
    TransferActions out;
    if (downloading_)
        out << act::appendFile(lineEnd.toByteArray());
    return out;
}

void BasicTransfers::completeDownload(TransferActions& out) {
    endDownload(out, true);
    out << act::consoleReplace("LOAD BASIC PROGRAM COMPLETED" + CrLf);
    uploading_ = false;
    out << act::finished(TransferAction::End::Completed);
}
