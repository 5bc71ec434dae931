// The four transfers run by the session's Transfers on any sequence of operator steps and
// replies, with real local files. Whatever comes:
//  - nothing goes to the board in answer to text while no transfer runs, and nothing after the
//    step that ended the last one;
//  - a received file (flash receive, Save) takes its name only after the board's end marker
//    ("...ND", "OK"), and is then exactly the data the replies carried; a part file is only
//    ever a start of that data;
//  - an upload sends the program's lines in order, a file send the file's bytes in order, and
//    each reports completion only when all went out.
// Input: events, each a control byte and the bytes up to the next 0xFE.
#include "FuzzInput.h"

#include "transfer/TransferSink.h"
#include "transfer/Transfers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <array>

namespace {

enum Kind { Upload, Save, Send, Receive, Kinds };

bool upperHex(QByteArrayView digits) {
    for (const char c : digits) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')))
            return false;
    }
    return true;
}

// The board's text as lines, each with its line end; a last line without one is left out (a
// transfer has not been handed it).
QList<QByteArray> endedLines(QByteArrayView text) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        lines.append(text.sliced(start, i + 1 - start).toByteArray());
        start = i + 1;
    }
    return lines;
}

// What a flash-disk reply line carries: a piece's 20 bytes, an end marker's last bytes.
struct Data {
    QByteArray bytes;
    bool end = false;
};
std::optional<Data> dataOf(const QByteArray& line) {
    const QByteArray text = line.trimmed();
    if (text.size() == 42 && text.endsWith("OK") && upperHex(text.first(40)))
        return Data{QByteArray::fromHex(text.first(40)), false};
    const QByteArray digits = text.chopped(qMin<qsizetype>(2, text.size()));
    if (text.endsWith("ND") && digits.size() % 2 == 0 && digits.size() < 40 && upperHex(digits))
        return Data{QByteArray::fromHex(digits), true};
    return std::nullopt;
}

struct Episode {
    bool active = false;
    bool alone = true;
    QByteArray stream;            // the board's text since it started
    QList<QByteArray> sent;       // what went out over UDP since it started
    QByteArray local;             // Upload: the program file; Send: the file sent
    bool lfOfEarlierLine = false; // a first LF ends a line the board began before
    std::optional<TransferAction::End> end;
};

struct Harness : TransferSink {
    Transfers transfers{*this};
    QString programPath;
    QString flashPath;
    bool replying = false; // the board's text is being handed in
    bool idle = false;     // a reply ended the last transfer running
    QList<QByteArray> sentNow;
    QList<TransferAction::End> endsNow;
    std::array<Episode, Kinds> episodes;

    void send(Channel channel, const QByteArray& line) override {
        check(!idle);
        if (channel == Channel::Udp)
            sentNow.append(line);
    }
    bool udpOpen() const override { return true; }
    void log(const QByteArray&) override {}
    void pause(int) override {}
    void finished(TransferAction::End how) override {
        endsNow.append(how);
        idle = replying && !transfers.running();
    }

    std::array<bool, Kinds> runningNow() const {
        return {transfers.basic().uploading(), transfers.basic().downloading(),
                transfers.flash().sending(), transfers.flash().receiving()};
    }
};

QByteArray fileAt(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The board's text since the transfer started, less an LF that ends a line from before.
QByteArray ownText(const Episode& e) {
    return e.lfOfEarlierLine && e.stream.startsWith('\n') ? e.stream.mid(1) : e.stream;
}

void checkSave(const Harness& h, const Episode& e) {
    const QByteArray stream = ownText(e);
    const bool named = QFile::exists(h.programPath);
    qsizetype listing = 0;
    bool okCame = false;
    for (const QByteArray& line : endedLines(stream)) {
        if (line.trimmed() == "OK") {
            okCame = true;
            break;
        }
        listing += line.size();
    }
    check(!named || okCame);
    if (!e.alone)
        return;
    if (named)
        check(fileAt(h.programPath) == stream.first(listing));
    else
        check(stream.startsWith(fileAt(h.programPath + TargetFile::PartSuffix)));
}

void checkReceive(const Harness& h, const Episode& e) {
    const bool named = QFile::exists(h.flashPath);
    QByteArray data;
    bool endCame = false;
    for (const QByteArray& line : endedLines(ownText(e))) {
        if (const std::optional<Data> d = dataOf(line)) {
            data += d->bytes;
            if (d->end && !endCame) {
                endCame = true;
                if (named && e.alone)
                    check(fileAt(h.flashPath) == data);
            }
        }
    }
    check(!named || endCame);
    if (e.alone && !named)
        check(data.startsWith(fileAt(h.flashPath + TargetFile::PartSuffix)));
}

void checkUpload(const Episode& e) {
    const Expected<QList<QByteArray>> lines = basic::readProgram(e.local);
    check(bool(lines) && e.sent.size() <= lines->size());
    for (qsizetype i = 0; i < e.sent.size(); ++i)
        check(e.sent[i] == lines->at(i) + "\r\n");
    if (e.end == TransferAction::End::Completed)
        check(e.sent.size() == lines->size());
}

void checkSend(const Episode& e) {
    check(!e.sent.isEmpty() && e.sent.first() == "FOPEN \"F\",WN\r\n");
    QByteArray written;
    for (const QByteArray& line : e.sent.sliced(1)) {
        if (line == "CLOSE\r\n")
            break;
        check(line.startsWith("WRITE \"") && line.endsWith("\"\r\n"));
        const QByteArray digits = line.sliced(7, line.size() - 10);
        check(digits.size() % 2 == 0 && upperHex(digits));
        written += QByteArray::fromHex(digits);
    }
    check(e.local.startsWith(written));
    if (e.end == TransferAction::End::Completed)
        check(written == e.local && e.sent.last() == "CLOSE\r\n");
}

void finish(Harness& h, int kind) {
    Episode& e = h.episodes[size_t(kind)];
    if (!e.active)
        return;
    switch (kind) {
    case Upload:
        if (e.alone)
            checkUpload(e);
        break;
    case Save:
        checkSave(h, e);
        break;
    case Send:
        if (e.alone)
            checkSend(e);
        break;
    case Receive:
        checkReceive(h, e);
        break;
    }
    e = Episode{};
}

// The operator steps that act on a transfer of this kind (others may send lines of their own).
bool ownStep(int kind, int what) {
    switch (kind) {
    case Upload:
        return what == 2 || what == 3 || what == 7 || what == 8;
    case Save:
        return what == 3 || what == 7 || what == 8;
    default:
        return what == 6 || what == 7;
    }
}

const QString& folder() {
    // Files in memory where the system offers it: the fuzzer creates thousands a second.
    static const QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                       ? QStringLiteral("/dev/shm/brenmoor-fuzz-XXXXXX")
                                       : QDir::tempPath() +
                                             QStringLiteral("/brenmoor-fuzz-XXXXXX"));
    static const QString path = dir.path();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Harness h;
    h.programPath = folder() + QStringLiteral("/p.bas");
    h.flashPath = folder() + QStringLiteral("/f.bin");
    for (const QString& path : {h.programPath, h.flashPath}) {
        QFile::remove(path);
        QFile::remove(path + TargetFile::PartSuffix);
    }

    for (const QByteArray& event : inputBytes(data, size).split('\xfe')) {
        if (event.isEmpty())
            continue;
        const QByteArray payload = event.mid(1);
        const int what = quint8(event[0]) % 16;
        const std::array<bool, Kinds> before = h.runningNow();
        const bool wasRunning = h.transfers.running();
        // A start of a kind that runs already begins it anew: the old one is judged first.
        const int starts = what == 0   ? Upload
                           : what == 1 ? Save
                           : what == 4 ? Send
                           : what == 5 ? Receive
                                       : -1;
        if (starts >= 0)
            finish(h, starts);
        if (starts == Save)
            QFile::remove(h.programPath);
        if (starts == Receive)
            QFile::remove(h.flashPath);
        const bool lfOfEarlierLine = h.transfers.awaitsLineEnd();
        h.replying = what >= 9;
        if (!h.replying)
            h.idle = false;
        h.sentNow.clear();
        h.endsNow.clear();

        switch (what) {
        case 0:
            h.transfers.closeProgramFile();
            h.transfers.startUpload(payload);
            break;
        case 1:
            h.transfers.startDownload(h.programPath);
            break;
        case 2:
            h.transfers.uploadNextLine();
            break;
        case 3:
            h.transfers.stopUpload();
            break;
        case 4:
            h.transfers.startSend("F", payload);
            break;
        case 5:
            h.transfers.startReceive("F", h.flashPath);
            break;
        case 6:
            h.transfers.closeFlashDisk();
            break;
        case 7:
            h.transfers.stopAll();
            break;
        case 8:
            h.transfers.commandLineTyped();
            break;
        case 9:
            h.transfers.receive(payload, QStringLiteral("10.0.0.7:5000"));
            check(h.sentNow.isEmpty() && h.runningNow() == before);
            break;
        default:
            h.transfers.receive(payload);
            check(wasRunning || h.sentNow.isEmpty());
            break;
        }

        const std::array<bool, Kinds> after = h.runningNow();
        int runningKinds = 0;
        for (int k = 0; k < Kinds; ++k)
            runningKinds += (before[size_t(k)] || after[size_t(k)]) ? 1 : 0;
        for (int k = 0; k < Kinds; ++k) {
            Episode& e = h.episodes[size_t(k)];
            if (k == starts && after[size_t(k)]) {
                e.active = true;
                e.alone = runningKinds == 1 && !wasRunning;
                e.local = payload;
                // Text the board sent before: not part of this transfer.
                e.stream.clear();
                e.sent = h.sentNow;
                e.lfOfEarlierLine = lfOfEarlierLine;
                continue;
            }
            if (!e.active)
                continue;
            e.alone = e.alone && runningKinds == 1;
            if (what >= 10)
                e.stream += payload;
            if (h.replying || ownStep(k, what))
                e.sent += h.sentNow;
            if (!after[size_t(k)]) {
                if (h.endsNow.size() == 1)
                    e.end = h.endsNow.first();
                finish(h, k);
            }
        }
    }
    for (int k = 0; k < Kinds; ++k)
        finish(h, k);
    return 0;
}
