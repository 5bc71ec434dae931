#include "transfer/FlashDiskTransfers.h"

#include "modbus/Crc16.h"

namespace {

const QByteArray CrLf = QByteArrayLiteral("\r\n");
const QByteArray ReadCommand = QByteArrayLiteral("READ 20");
const QByteArray CloseCommand = QByteArrayLiteral("CLOSE");

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

} // namespace

namespace flash {

Reply reply(QByteArrayView reply) {
    if (reply.contains("ERROR"))
        return Reply::Error;
    if (reply.contains("ND"))
        return Reply::EndMarker;
    if (reply.contains("OK"))
        return Reply::Ok;
    return Reply::Other;
}

QByteArray hexDigits(QByteArrayView bytes) {
    return bytes.toByteArray().toHex().toUpper();
}

QByteArray decodePairs(QByteArrayView reply, qsizetype count) {
    QByteArray bytes(count, Qt::Uninitialized);
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype at = 2 * i;
        const QByteArrayView pair = at < reply.size()
                                        ? reply.sliced(at, qMin<qsizetype>(2, reply.size() - at))
                                        : QByteArrayView();
        bytes[i] = char(Decode2(pair.toByteArray()));
    }
    return bytes;
}

qsizetype endMarkerBytes(qsizetype markerPos) {
    const qsizetype half = markerPos / 2;
    if (markerPos % 2 == 0 || half % 2 == 0)
        return half;
    return half + 1;
}

bool carriesPiece(QByteArrayView reply) {
    const qsizetype ok = reply.indexOf("OK");
    return ok >= 2 && isHexDigit(reply[0]) && isHexDigit(reply[1]);
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

void FlashDiskTransfers::transferClose(TransferActions& out) {
    SendFilesMode_ = false;
    LoadFilesMode_ = false;
    SendFilesDone_ = false;
    FilePos_ = 0;
    out << act::focusCommandLine();
    sendCommand(out, CloseCommand);
    out << act::logLine(CloseCommand + CrLf) << act::closeFile();
}

TransferActions FlashDiskTransfers::Command5_Click() {
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
    FileBytes_ = *file;
    FileLength_ = qint32(FileBytes_.size());
    out << act::progressMax(FileLength_) << act::progressText(QStringLiteral("SEND"));
    SendFilesMode_ = true;
    SendFilesDone_ = false;
    FilePos_ = 1;

    const QByteArray command = flash::openCommand(boardName, "WN");
    sendCommand(out, command);
    out << act::consoleAppend(command + CrLf) << act::logLine(command + CrLf);
    return out;
}

TransferActions FlashDiskTransfers::SEND_FILES_parser(QByteArrayView RxData, bool udpOpen) {
    TransferActions out;
    if (!SendFilesMode_)
        return out;
    lastReply_ = RxData.toByteArray();
    out << act::consoleAppend(lastReply_ + CrLf);
    const flash::Reply what = flash::reply(RxData);
    if (what == flash::Reply::Error) {
        transferClose(out);
        out << act::progressText(QStringLiteral("ERROR"))
            << act::finished(TransferAction::End::Refused);
        return out;
    }
    if (!RxData.contains("OK"))
        return out;
    if (SendFilesDone_) {
        transferClose(out);
        out << act::progressText(QStringLiteral("OK"))
            << act::finished(TransferAction::End::Completed);
        return out;
    }

    // The piece runs from FilePos (1-based) over 21 bytes, or to the end of the file when at
    // most 21 remain. A receive started meanwhile may have moved FileLength and FilePos; the
    // piece never reaches outside the bytes there are.
    qint64 last = qint64(FilePos_) + flash::PieceBytes - 1;
    if (last >= FileLength_) {
        last = FileLength_;
        SendFilesDone_ = true;
    }
    last = qMin<qint64>(last, FileBytes_.size());
    const qint64 first = qMax<qint64>(FilePos_, 1);
    const QByteArrayView piece =
        last >= first ? QByteArrayView(FileBytes_).sliced(first - 1, last - first + 1)
                      : QByteArrayView();
    FilePos_ = qint32(qMax<qint64>(FilePos_, last + 1));

    const QByteArray command = "WRITE \"" + flash::hexDigits(piece) + '"';
    sendCommand(out, command);
    out << act::consoleAppend(command + CrLf) << act::consoleToEnd();
    if (!udpOpen)
        out << act::pause(50);
    out << act::logLine(command + CrLf) << act::progressValue(FilePos_);
    return out;
}

TransferActions FlashDiskTransfers::startReceive(const QByteArray& boardName,
                                                 const std::optional<Failure>& targetProblem) {
    TransferActions out{act::progressText(QStringLiteral("READ")), act::progressValue(0),
                        act::progressMax(100)};
    if (targetProblem) {
        out << act::errorBox(targetProblem->number, targetProblem->description);
        return out;
    }
    FileLength_ = 0;
    ReadStarted_ = false;
    LoadFilesMode_ = true;
    SendFilesDone_ = false;
    FilePos_ = 1;

    const QByteArray command = flash::openCommand(boardName, "R");
    sendCommand(out, command);
    out << act::consoleAppend(command + CrLf) << act::logLine(command + CrLf);
    return out;
}

TransferActions FlashDiskTransfers::LOAD_FILES_parser(QByteArrayView RxData, bool udpOpen) {
    TransferActions out;
    if (!LoadFilesMode_)
        return out;
    lastReply_ = RxData.toByteArray();
    out << act::consoleAppend(lastReply_ + CrLf);
    switch (flash::reply(RxData)) {
    case flash::Reply::Error:
        transferClose(out);
        out << act::progressText(QStringLiteral("ERROR"))
            << act::finished(TransferAction::End::Refused);
        return out;
    case flash::Reply::EndMarker: {
        const qsizetype count = flash::endMarkerBytes(RxData.indexOf("ND"));
        if (count > 0)
            out << act::appendFile(flash::decodePairs(RxData, count));
        transferClose(out);
        out << act::progressText(QStringLiteral("OK")) << act::progressValue(100);
        ReadStarted_ = false;
        out << act::finished(TransferAction::End::Completed);
        return out;
    }
    case flash::Reply::Other:
        return out;
    case flash::Reply::Ok:
        break;
    }

    // Before the first READ only the answer to FOPEN has come; it is data only when it
    // carries a piece, never a bare "OK" read as 20 zero bytes.
    if (ReadStarted_ || flash::carriesPiece(RxData)) {
        out << act::appendFile(flash::decodePairs(RxData, flash::ReadBytes));
        FileLength_ = FileLength_ + 1 >= 100 ? 0 : FileLength_ + 1;
        out << act::progressValue(FileLength_);
    }
    sendCommand(out, ReadCommand);
    out << act::consoleAppend(ReadCommand + CrLf) << act::consoleToEnd();
    if (!udpOpen)
        out << act::pause(50);
    ReadStarted_ = true;
    out << act::logLine(ReadCommand + CrLf);
    return out;
}
