#include "transfer/Transfers.h"

#include "transfer/TransferSink.h"

Transfers::Transfers(TransferSink& sink) : sink_(sink) {
    QObject::connect(&watch_, &ReplyWatch::silent, &watch_,
                     [this](int limitMs, const QString& what) { tellSilence(limitMs, what); });
}

void Transfers::closeProgramFile() {
    carryOut(basic_.closeProgramFile(), Machine::Program);
    settle();
}

void Transfers::startUpload(const Expected<QByteArray>& programFile) {
    carryOut(basic_.startUpload(programFile), Machine::Program);
    answersFromHere(Taker::Upload);
    settle();
}

void Transfers::uploadNextLine() {
    carryOut(basic_.nextLine(), Machine::Program);
    settle();
}

void Transfers::stopUpload() {
    carryOut(basic_.stop(), Machine::Program);
    settle();
}

void Transfers::startDownload(const QString& targetPath) {
    carryOut(basic_.closeProgramFile(), Machine::Program);
    const std::optional<Failure> targetProblem = programFile_.open(targetPath);
    carryOut(basic_.startDownload(targetProblem), Machine::Program);
    answersFromHere(Taker::Download);
    settle();
}

void Transfers::boardCommand(const QByteArray& word) {
    carryOut(basic::boardCommand(word), Machine::Program);
    watchAfter(word, true);
}

void Transfers::startSend(const QByteArray& boardName, const Expected<QByteArray>& file) {
    flashPieces_ = 0;
    carryOut(flash_.startSend(boardName, file), Machine::Flash);
    answersFromHere(Taker::Send);
    settle();
}

void Transfers::startReceive(const QByteArray& boardName, const QString& targetPath) {
    // A receive still running gives up its target here; the new one starts empty.
    const std::optional<Failure> targetProblem = flashFile_.open(targetPath);
    flashPieces_ = 0;
    carryOut(flash_.startReceive(boardName, targetProblem), Machine::Flash);
    answersFromHere(Taker::Receive);
    settle();
}

void Transfers::closeFlashDisk() {
    carryOut(flash_.closeTransfer(), Machine::Flash);
    settle();
}

void Transfers::stopAll() {
    if (basic_.uploading())
        carryOut(basic_.stop(), Machine::Program);
    if (basic_.downloading())
        carryOut(basic_.closeProgramFile(), Machine::Program);
    if (flash_.running())
        carryOut(flash_.closeTransfer(), Machine::Flash);
    watch_.cancel();
    settle();
}

void Transfers::commandLineTyped() {
    if (!basic_.downloading())
        return;
    carryOut(basic_.closeProgramFile(), Machine::Program);
    sink_.notice(QStringLiteral("LOAD BASIC PROGRAM STOPPED: a line was sent to the board; %1 "
                                "keeps the listing up to here")
                     .arg(programFile_.partPath()));
    settle();
}

void Transfers::commandLineSent(const QByteArray& line) {
    if (!line.isEmpty() && !sink_.boardName().isEmpty())
        watch_.sent();
}

void Transfers::receive(const QByteArray& text, const QString& otherSender) {
    if (otherSender.isEmpty() && !text.isEmpty())
        watch_.replied();
    if (running() && !otherSender.isEmpty())
        return setAside(text, otherSender);
    if (!running() && !(lines_.afterCr() && text.startsWith('\n'))) {
        toConsole(text);
        return;
    }
    for (const ReplyLines::Line& line : lines_.feed(text)) {
        if (line.endOfPrevious) {
            // The LF of a CR LF the board cut in two ends the line that took the CR: the
            // console shows it, a listing keeps it, nothing else needs it.
            if (!lastLineTaken_)
                sink_.boardText(line.bytes);
            else
                carryOut(basic_.downloadLineEnd(line.bytes), Machine::Program);
        } else if (earlierLine_) {
            earlierLine_ = false;
            sink_.boardText(line.bytes);
            lastLineTaken_ = false;
        } else if (running()) {
            take(line.bytes);
        } else {
            // The transfer ended inside this text: the lines after its last one are the console's.
            toConsole(line.bytes);
        }
    }
    if (basic_.downloading() && lines_.hasPartial() && !earlierLine_) {
        const TransferActions prompt = basic_.downloadPending(lines_.partial());
        if (!prompt.isEmpty()) {
            lines_.takePartial();
            carryOut(prompt, Machine::Program);
        }
    }
    // A line left open here began after whatever ended in this text: it is the taker's own.
    settledTaker_ = taker();
    settle();
}

void Transfers::setAside(const QByteArray& text, const QString& otherSender) {
    // The protocol has no way to tell a forged reply from the board's own; over UDP the sender
    // does. What another sender says is shown, never taken as the board's answer.
    sink_.boardText(text);
    if (toldSetAside_)
        return;
    toldSetAside_ = true;
    sink_.notice(QStringLiteral("A reply from %1 was set aside: a transfer takes the board's "
                                "replies only.")
                     .arg(otherSender));
}

void Transfers::toConsole(const QByteArray& text) {
    sink_.boardText(text);
    lines_.passedOn(text);
    lastLineTaken_ = false;
}

Transfers::Taker Transfers::taker() const {
    if (basic_.downloading())
        return Taker::Download;
    if (basic_.uploading())
        return Taker::Upload;
    if (flash_.sending())
        return Taker::Send;
    if (flash_.receiving())
        return Taker::Receive;
    return Taker::None;
}

void Transfers::take(const QByteArray& line) {
    lastLineTaken_ = true;
    switch (taker()) {
    case Taker::Download:
        return carryOut(basic_.onListingLine(line), Machine::Program);
    case Taker::Upload:
        return carryOut(basic_.onUploadReply(line), Machine::Program);
    case Taker::Send:
        return carryOut(flash_.onSendReply(line, sink_.udpOpen()), Machine::Flash);
    case Taker::Receive:
        return carryOut(flash_.onReceiveReply(line, sink_.udpOpen()), Machine::Flash);
    case Taker::None:
        return;
    }
}

void Transfers::answersFromHere(Taker started) {
    if (taker() != started)
        return; // a transfer started earlier still takes the board's lines
    // Nothing the board sent before this transfer started answers it: a line begun before and
    // the LF of a CR LF cut in two are the console's. Else a restarted receive could end at once
    // on the tail of the earlier one's end marker, as if complete. A restart is a new taker
    // even when it is of the same kind: settle() hands it no line begun before.
    settledTaker_ = Taker::None;
    lastLineTaken_ = false;
}

void Transfers::settle() {
    // A transfer that takes the board's lines over, because it started or because the one
    // before it ended (a Save stopped while a receive waits), must not finish a line the board
    // began before: its "ND" would name an empty file complete.
    const Taker now = taker();
    if (now != settledTaker_ && now != Taker::None && lines_.hasPartial())
        earlierLine_ = true;
    settledTaker_ = now;
    // No transfer holds back the start of a line: the console shows it at once.
    if (!running() && lines_.hasPartial()) {
        toConsole(lines_.takePartial());
        earlierLine_ = false;
    }
}

void Transfers::watchAfter(const QByteArray& request, bool boardCommand) {
    if (sink_.boardName().isEmpty())
        return watch_.cancel();
    if (!request.isEmpty() && running()) {
        lastRequest_ = request.trimmed().split(' ').value(0);
        if (flash_.running() && (lastRequest_ == "WRITE" || lastRequest_ == "READ"))
            ++flashPieces_;
        watch_.sent(waitingFor());
    } else if (boardCommand) {
        watch_.sent();
    } else if (!running()) {
        watch_.cancel();
    }
}

QString Transfers::waitingFor() const {
    if (basic_.uploading())
        return QStringLiteral("upload line %1 waits for its answer: \">>\" sends the next line, "
                              "\"X\" stops the upload")
            .arg(basic_.lineSent());
    if (basic_.downloading())
        return QStringLiteral("the listing waits: \"X\" stops it");
    const QString request = lastRequest_ == "WRITE" || lastRequest_ == "READ"
                                ? QStringLiteral("piece %1 (%2)")
                                      .arg(flashPieces_)
                                      .arg(QString::fromLatin1(lastRequest_))
                                : QString::fromLatin1(lastRequest_);
    return QStringLiteral("flash-disk %1 waits for its answer: \"X\" ends the transfer")
        .arg(request);
}

void Transfers::tellSilence(int limitMs, const QString& what) {
    const QString board = sink_.boardName();
    if (board.isEmpty())
        return; // the link closed meanwhile: nobody is waited for
    QString text =
        QStringLiteral("no reply from %1 for %2").arg(board, ReplyWatch::limitText(limitMs));
    if (!what.isEmpty())
        text += QStringLiteral("; ") + what;
    sink_.notice(text);
}

void Transfers::carryOut(const TransferActions& actions, Machine machine) {
    using K = TransferAction::Kind;
    TargetFile& file = machine == Machine::Program ? programFile_ : flashFile_;
    std::optional<Failure> fileFailed;
    std::optional<Failure> commitFailed;
    QByteArray request; // the first line this step sent
    for (const TransferAction& a : actions) {
        switch (a.kind) {
        case K::SendUdp:
        case K::SendSerial:
            sink_.send(a.kind == K::SendUdp ? Channel::Udp : Channel::Serial, a.bytes);
            if (request.isEmpty())
                request = a.bytes;
            break;
        case K::SetCommandLine:
            sink_.setCommandLine(a.bytes);
            break;
        case K::FocusCommandLine:
            sink_.focusCommandLine();
            break;
        case K::ConsoleAppend:
            sink_.consoleAppend(a.bytes);
            break;
        case K::BoardMessage:
            sink_.boardMessage(a.bytes);
            break;
        case K::ConsoleReplace:
            sink_.consoleReplace(a.bytes);
            break;
        case K::ConsoleToEnd:
            sink_.consoleToEnd();
            break;
        case K::Log:
            sink_.log(a.bytes);
            break;
        case K::AppendFile:
            // A transfer ended or cancelled closed its file: what still comes goes nowhere.
            if (file.isOpen())
                fileFailed = file.append(a.bytes);
            break;
        case K::CloseFile:
            // Only a file that came whole takes its name; any other end leaves the part.
            if (a.value == 0)
                file.abandon();
            else if (const std::optional<Failure> failed = file.commit())
                commitFailed = failed;
            break;
        case K::Pause:
            sink_.pause(int(a.value));
            break;
        case K::ProgressText:
            sink_.progressText(a.text);
            break;
        case K::ProgressMax:
            sink_.progressMax(a.value);
            break;
        case K::ProgressValue:
            sink_.progressValue(a.value);
            break;
        case K::ErrorBox:
            sink_.errorBox(Failure{int(a.value), a.text});
            break;
        case K::Finished:
            toldSetAside_ = false;
            if (commitFailed) {
                sink_.errorBox(*commitFailed);
                sink_.finished(TransferAction::End::Stopped);
            } else {
                sink_.finished(a.end);
            }
            break;
        }
        if (fileFailed)
            break; // the rest of this step builds on bytes that never reached the file
    }
    if (!fileFailed) {
        if (!request.isEmpty() || !running())
            watchAfter(request);
        return;
    }
    // A full disk or a vanished folder ends the transfer with what it has written, and the
    // operator hears why once the ending steps are out.
    file.abandon();
    if (machine == Machine::Program)
        carryOut(basic_.closeProgramFile(), Machine::Program);
    else
        carryOut(flash_.closeTransfer(), Machine::Flash);
    sink_.errorBox(*fileFailed);
}
