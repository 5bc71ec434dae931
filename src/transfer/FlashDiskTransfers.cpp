#include "transfer/FlashDiskTransfers.h"

namespace {

const QByteArray CrLf = QByteArrayLiteral("\r\n");
const QByteArray ReadCommand = QByteArrayLiteral("READ 20");
const QByteArray CloseCommand = QByteArrayLiteral("CLOSE");

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

} // namespace

namespace flash {

namespace {

// The line without its line end and the blanks around it.
QByteArrayView content(QByteArrayView line) {
    return line.trimmed();
}

bool allHex(QByteArrayView digits) {
    for (const char c : digits) {
        if (!isHexDigit(c))
            return false;
    }
    return true;
}

} // namespace

Reply reply(QByteArrayView line) {
    if (line.contains("ERROR"))
        return Reply::Error;
    const QByteArrayView text = content(line);
    if (text == "OK")
        return Reply::BareOk;
    if (text.size() == 2 * ReadBytes + 2 && text.endsWith("OK") &&
        allHex(text.first(2 * ReadBytes)))
        return Reply::Piece;
    if (text.endsWith("ND")) {
        const QByteArrayView digits = text.chopped(2);
        if (digits.size() % 2 == 0 && digits.size() < 2 * ReadBytes && allHex(digits))
            return Reply::EndMarker;
    }
    if (line.contains("OK") || line.contains("ND"))
        return Reply::Malformed;
    return Reply::Other;
}

QByteArray replyBytes(QByteArrayView line) {
    const QByteArrayView text = content(line);
    return QByteArray::fromHex(text.chopped(2).toByteArray());
}

QByteArray hexDigits(QByteArrayView bytes) {
    return bytes.toByteArray().toHex().toUpper();
}

QByteArray openCommand(const QByteArray& name, const char* mode) {
    return "FOPEN \"" + name + "\"," + mode;
}

} // namespace flash

void FlashDiskTransfers::sendCommand(TransferActions& out, const QByteArray& command) {
    // Written into the command line first, so the operator sees what goes out, then sent.
    out << act::commandLine(command) << act::sendUdp(command + CrLf)
        << act::sendSerial(command + CrLf);
}

void FlashDiskTransfers::transferClose(TransferActions& out, bool whole) {
    sending_ = false;
    receiving_ = false;
    lastPieceSent_ = false;
    nextByte_ = 0;
    fileBytes_ = QByteArray(); // a sent file is not kept past its transfer
    out << act::focusCommandLine();
    sendCommand(out, CloseCommand);
    out << act::logLine(CloseCommand + CrLf) << act::closeFile(whole);
}

void FlashDiskTransfers::refuse(TransferActions& out) {
    transferClose(out);
    out << act::progressText(QStringLiteral("ERROR"))
        << act::finished(TransferAction::End::Refused);
}

TransferActions FlashDiskTransfers::closeTransfer() {
    const bool wasRunning = running();
    TransferActions out;
    transferClose(out);
    if (wasRunning)
        out << act::finished(TransferAction::End::Stopped);
    return out;
}

TransferActions FlashDiskTransfers::startSend(const QByteArray& boardName,
                                              const Expected<QByteArray>& file) {
    TransferActions out{act::progressText(QStringLiteral("NO FILE"))};
    if (!file) {
        out << act::errorBox(file.failure().number, file.failure().description);
        return out;
    }
    if (file->isEmpty()) {
        out << act::errorBox(ErrorNumber::SubscriptOutOfRange, QStringLiteral("The file is empty"));
        return out;
    }
    if (file->size() > flash::MaxFileLength) {
        out << act::errorBox(
            ErrorNumber::Overflow,
            QStringLiteral("The file is longer than %1 bytes").arg(flash::MaxFileLength));
        return out;
    }
    fileBytes_ = *file;
    fileLength_ = qint32(fileBytes_.size());
    out << act::progressMax(fileLength_) << act::progressText(QStringLiteral("SEND"));
    sending_ = true;
    lastPieceSent_ = false;
    nextByte_ = 1;

    const QByteArray command = flash::openCommand(boardName, "WN");
    sendCommand(out, command);
    out << act::consoleAppend(command + CrLf) << act::logLine(command + CrLf);
    return out;
}

TransferActions FlashDiskTransfers::onSendReply(QByteArrayView line, bool udpOpen) {
    TransferActions out;
    if (!sending_)
        return out;
    lastReply_ = line.toByteArray();
    out << act::consoleAppend(lastReply_ + CrLf);
    const flash::Reply what = flash::reply(line);
    if (what == flash::Reply::Error) {
        refuse(out);
        return out;
    }
    // Only "OK" alone releases a piece: an echo or a message that happens to hold the letters
    // must not push the file out faster than the board takes it.
    if (what != flash::Reply::BareOk)
        return out;
    if (lastPieceSent_) {
        transferClose(out);
        out << act::progressText(QStringLiteral("OK"))
            << act::finished(TransferAction::End::Completed);
        return out;
    }

    // The piece runs from nextByte (1-based) over 21 bytes, or to the end of the file when at
    // most 21 remain. A receive started meanwhile may have moved fileLength and nextByte; the
    // piece never reaches outside the bytes there are.
    qint64 last = qint64(nextByte_) + flash::PieceBytes - 1;
    if (last >= fileLength_) {
        last = fileLength_;
        lastPieceSent_ = true;
    }
    last = qMin<qint64>(last, fileBytes_.size());
    const qint64 first = qMax<qint64>(nextByte_, 1);
    const QByteArrayView piece =
        last >= first ? QByteArrayView(fileBytes_).sliced(first - 1, last - first + 1)
                      : QByteArrayView();
    nextByte_ = qint32(qMax<qint64>(nextByte_, last + 1));

    const QByteArray command = "WRITE \"" + flash::hexDigits(piece) + '"';
    sendCommand(out, command);
    out << act::consoleAppend(command + CrLf) << act::consoleToEnd();
    if (!udpOpen)
        out << act::pause(flash::SerialPacingMs);
    out << act::logLine(command + CrLf) << act::progressValue(nextByte_);
    return out;
}

TransferActions FlashDiskTransfers::startReceive(const QByteArray& boardName,
                                                 const std::optional<Failure>& targetProblem) {
    TransferActions out{act::progressText(QStringLiteral("READ")), act::progressValue(0),
                        act::progressMax(flash::PieceCounterWraps)};
    if (targetProblem) {
        out << act::errorBox(targetProblem->number, targetProblem->description);
        return out;
    }
    fileLength_ = 0;
    readStarted_ = false;
    receiving_ = true;
    lastPieceSent_ = false;
    nextByte_ = 1;

    const QByteArray command = flash::openCommand(boardName, "R");
    sendCommand(out, command);
    out << act::consoleAppend(command + CrLf) << act::logLine(command + CrLf);
    return out;
}

TransferActions FlashDiskTransfers::onReceiveReply(QByteArrayView line, bool udpOpen) {
    TransferActions out;
    if (!receiving_)
        return out;
    lastReply_ = line.toByteArray();
    out << act::consoleAppend(lastReply_ + CrLf);
    const flash::Reply what = flash::reply(line);
    switch (what) {
    case flash::Reply::Error:
    case flash::Reply::Malformed:
        refuse(out);
        return out;
    case flash::Reply::EndMarker: {
        const QByteArray last = flash::replyBytes(line);
        if (!last.isEmpty())
            out << act::appendFile(last);
        transferClose(out, true);
        out << act::progressText(QStringLiteral("OK"))
            << act::progressValue(flash::PieceCounterWraps);
        readStarted_ = false;
        out << act::finished(TransferAction::End::Completed);
        return out;
    }
    case flash::Reply::Other:
        return out;
    case flash::Reply::BareOk:
        // The answer to FOPEN; once reading has started, data must come with every "OK".
        if (readStarted_) {
            refuse(out);
            return out;
        }
        break;
    case flash::Reply::Piece:
        // Also as the answer to FOPEN: a board may send the first piece with it.
        out << act::appendFile(flash::replyBytes(line));
        fileLength_ = (fileLength_ + 1) % flash::PieceCounterWraps;
        out << act::progressValue(fileLength_);
        break;
    }
    sendCommand(out, ReadCommand);
    out << act::consoleAppend(ReadCommand + CrLf) << act::consoleToEnd();
    if (!udpOpen)
        out << act::pause(flash::SerialPacingMs);
    readStarted_ = true;
    out << act::logLine(ReadCommand + CrLf);
    return out;
}
