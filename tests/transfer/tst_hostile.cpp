// Junk during a transfer, on both links. Another sender floods the window's port with random
// bytes, empty and 65,507-byte datagrams and what looks like the board's answers ("OK", hex
// pieces, "ND", "ERROR"): the transfer takes the board's replies only, moves the program or
// the file exactly, and the console says once why the junk was set aside. The same junk on
// the board's own line (through a relay the window takes for the board: over UDP from the
// board's address, on a serial line in the byte stream) and console-text frames whose length
// byte lies may end a transfer, or eat a reply so that it waits until "X"; they never crash
// the window, and a transfer that reports success has the board's data (a saved listing with
// every byte of the board's in order: junk on its own line cannot be told from its text).
#include "BoardWindow.h"

#include "core/LineEnds.h"

#include <QCheckBox>
#include <QNetworkDatagram>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QTimer>
#include <QUdpSocket>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

enum class Job { Upload, Save, Send, Receive };
enum class Line { Stranger, UdpBoardAddress, Serial, FramedSerial };

QByteArray junk(QRandomGenerator& random, Line line) {
    const int pick = random.bounded(10);
    const bool udp = line == Line::Stranger || line == Line::UdpBoardAddress;
    if (line == Line::Stranger && pick < 4)
        return QByteArrayList{"OK\r\n", QByteArray(40, 'A') + "OK\r\n", "ND\r\n", "ERROR\r\n"}.at(
            pick);
    if (udp && pick == 4)
        return QByteArray();
    if (udp && pick == 5)
        return QByteArray(65507, char(random.bounded(256)));
    if (line == Line::FramedSerial && pick < 4)
        return QByteArray("\x10"
                          "C") +
               char(200) + QByteArray(random.bounded(1, 40), 'J');
    QByteArray bytes(random.bounded(1, 120), Qt::Uninitialized);
    for (char& c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

int openRaw(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios raw{};
    if (fd >= 0 && ::tcgetattr(fd, &raw) == 0) {
        ::cfmakeraw(&raw);
        ::tcsetattr(fd, TCSANOW, &raw);
    }
    return fd;
}

QByteArray drain(int fd) {
    QByteArray got;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        got.append(buffer, n);
    return got;
}

// Passes everything between the window and the board, and adds junk to what goes to the
// window on the board's own line.
class Relay : public QObject {
public:
    bool startUdp(quint16 boardPort) {
        boardPort_ = boardPort;
        if (!front_.bind(QHostAddress::LocalHost, 0) || !back_.bind(QHostAddress::LocalHost, 0))
            return false;
        connect(&front_, &QUdpSocket::readyRead, this, [this] {
            while (front_.hasPendingDatagrams()) {
                const QNetworkDatagram d = front_.receiveDatagram();
                window_ = d.senderAddress();
                windowPort_ = quint16(d.senderPort());
                back_.writeDatagram(d.data(), QHostAddress::LocalHost, boardPort_);
            }
        });
        connect(&back_, &QUdpSocket::readyRead, this, [this] {
            while (back_.hasPendingDatagrams())
                toWindow(back_.receiveDatagram().data());
        });
        return true;
    }
    bool startSerial(const QString& boardPath) {
        char name[256] = {};
        int slave = -1;
        if (::openpty(&master_, &slave, name, nullptr, nullptr) != 0)
            return false;
        ::close(slave);
        termios raw{};
        ::tcgetattr(master_, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(master_, TCSANOW, &raw);
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        path_ = QString::fromLocal8Bit(name);
        board_ = openRaw(boardPath);
        fromWindow_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
        fromBoard_ = std::make_unique<QSocketNotifier>(board_, QSocketNotifier::Read);
        connect(fromWindow_.get(), &QSocketNotifier::activated, this, [this] {
            const QByteArray bytes = drain(master_);
            (void)::write(board_, bytes.constData(), size_t(bytes.size()));
        });
        connect(fromBoard_.get(), &QSocketNotifier::activated, this,
                [this] { toWindow(drain(board_)); });
        return board_ >= 0;
    }
    ~Relay() override {
        fromWindow_.reset();
        fromBoard_.reset();
        for (const int fd : {master_, board_}) {
            if (fd >= 0)
                ::close(fd);
        }
    }

    quint16 port() const { return front_.localPort(); }
    QString path() const { return path_; }
    void toWindow(const QByteArray& bytes) {
        if (master_ >= 0)
            (void)::write(master_, bytes.constData(), size_t(bytes.size()));
        else if (windowPort_ != 0)
            front_.writeDatagram(bytes, window_, windowPort_);
    }

private:
    QUdpSocket front_;
    QUdpSocket back_;
    quint16 boardPort_ = 0;
    QHostAddress window_;
    quint16 windowPort_ = 0;
    int master_ = -1;
    int board_ = -1;
    QString path_;
    std::unique_ptr<QSocketNotifier> fromWindow_;
    std::unique_ptr<QSocketNotifier> fromBoard_;
};

} // namespace

Q_DECLARE_METATYPE(Job)
Q_DECLARE_METATYPE(Line)

class TestHostile : public QObject {
    Q_OBJECT
private slots:
    void junkDuringATransfer_data() {
        QTest::addColumn<Line>("line");
        QTest::addColumn<Job>("job");
        const QList<std::pair<const char*, Line>> lines{
            {"UDP, another sender", Line::Stranger},
            {"UDP, the board's address", Line::UdpBoardAddress},
            {"serial", Line::Serial},
            {"framed serial", Line::FramedSerial}};
        const QList<std::pair<const char*, Job>> jobs{{"upload", Job::Upload},
                                                      {"Save", Job::Save},
                                                      {"flash send", Job::Send},
                                                      {"flash receive", Job::Receive}};
        for (const auto& [lineName, line] : lines) {
            for (const auto& [jobName, job] : jobs)
                QTest::addRow("%s, %s", lineName, jobName) << line << job;
        }
    }
    void junkDuringATransfer();
};

void TestHostile::junkDuringATransfer() {
    QFETCH(Line, line);
    QFETCH(Job, job);
    BoardWindow t;
    Terminal& w = t.w;
    const QByteArray bytes = stepped(90, 11);
    QVERIFY(QDir::current().mkdir(QStringLiteral("disk")));
    if (job == Job::Receive)
        BoardWindow::write(QStringLiteral("disk/DATA.BIN"), bytes);
    board::BoardOptions options;
    options.diskDir = BoardWindow::path(QStringLiteral("disk"));
    options.delayMs = 40; // the junk comes between the board's replies
    QVERIFY(t.boot(options));
    board::BoardSimulator& board = *t.board;
    if (job == Job::Save) { // a program on the board to list
        QUdpSocket programmer;
        for (const QByteArray& programLine : splitLines(Program))
            programmer.writeDatagram(programLine + "\r\n", QHostAddress::LocalHost,
                                     board.udpPort());
        QTRY_COMPARE(board.interpreter().program().lineCount(), 4);
    }

    Relay relay;
    if (line == Line::Serial || line == Line::FramedSerial) {
        QVERIFY(relay.startSerial(board.ptyPath()));
        w.rtuGatewayCheck->setChecked(line == Line::FramedSerial);
        w.rtuAddressEdit->setText(QStringLiteral("16"));
        w.portEdit->setText(relay.path());
        w.openPortButton->click();
        QVERIFY(w.link().serialOpen());
    } else if (line == Line::UdpBoardAddress) {
        QVERIFY(relay.startUdp(board.udpPort()));
        QVERIFY(connectWindow(w, relay.port()));
    } else {
        QVERIFY(connectWindow(w, board.udpPort()));
    }
    // The notice may be wiped soon after (an upload shows only the line it sends).
    bool told = false;
    connect(&w.console(), &ConsoleModel::changed, this,
            [&] { told = told || w.console().text().contains("was set aside"); });
    QUdpSocket stranger;
    QVERIFY(stranger.bind(QHostAddress::LocalHost, 0));
    QRandomGenerator random(quint32(line) * 4 + quint32(job));
    QTimer flood;
    connect(&flood, &QTimer::timeout, this, [&] {
        const QByteArray noise = junk(random, line);
        if (line == Line::Stranger)
            stranger.writeDatagram(noise, QHostAddress::LocalHost, w.link().localPort());
        else
            relay.toWindow(noise);
    });
    flood.start(line == Line::Stranger ? 5 : 15);

    const QString target = BoardWindow::path(QStringLiteral("target.out"));
    w.boardFileEdit->setText(QStringLiteral("DATA.BIN"));
    switch (job) {
    case Job::Upload:
        t.upload(Program);
        break;
    case Job::Save:
        t.save("target.out");
        break;
    case Job::Send:
        t.sendFile(bytes);
        break;
    case Job::Receive:
        t.receiveFile("target.out");
        break;
    }
    const Transfers& transfers = w.transfers();
    QVERIFY(transfers.running());
    // A reply the junk ate leaves the transfer waiting, as it waits for a lost one: "X" ends it.
    const bool stopped = !QTest::qWaitFor([&] { return !transfers.running(); }, 15000);
    // What the board holds the moment the window is done: a fake "OK" taken for the board's
    // would have pushed the lines or pieces out ahead of it.
    const int linesHeld = board.interpreter().program().lineCount();
    const qsizetype bytesHeld = board.interpreter().disk().usedBytes();
    if (stopped) {
        (job == Job::Send || job == Job::Receive ? w.closeTransferButton : w.stopButton)->click();
        QTRY_VERIFY(!transfers.running());
    }
    flood.stop();

    bool done = false;
    QString outcome;
    switch (job) {
    case Job::Upload:
        done = w.console().text().contains("SEND BASIC PROGRAM COMPLETED");
        outcome = done ? QStringLiteral("completed") : QStringLiteral("refused");
        if (done) { // the last line is on its way when the window is done
            QVERIFY2(linesHeld >= 3, qPrintable(QString::number(linesHeld)));
            QTRY_COMPARE(board.interpreter().program().lineCount(), 4);
        }
        break;
    case Job::Save: {
        done = QFile::exists(target);
        outcome = done ? QStringLiteral("completed") : QStringLiteral("ended, listing in .part");
        if (!done)
            break;
        // Every byte the board listed, in order: junk on its line can only add bytes.
        const QByteArray saved = readFile(target);
        qsizetype at = 0;
        for (const char c : Program) {
            at = saved.indexOf(c, at) + 1;
            QVERIFY2(at > 0, saved.toPercentEncoding().constData());
        }
        if (line == Line::Stranger)
            QCOMPARE(saved, Program);
        else if (saved != Program)
            outcome += QStringLiteral(", the junk in the file");
        break;
    }
    case Job::Send:
    case Job::Receive:
        done = w.fileProgressBar->text() == QLatin1String("OK");
        outcome = done ? QStringLiteral("completed") : w.fileProgressBar->text();
        if (job == Job::Send && done)
            QCOMPARE(bytesHeld, bytes.size());
        if (job == Job::Send)
            break;
        QCOMPARE(QFile::exists(target), done);
        if (done)
            QCOMPARE(readFile(target), bytes);
        else if (QFile::exists(target + QStringLiteral(".part")))
            QVERIFY(bytes.startsWith(readFile(target + QStringLiteral(".part"))));
        break;
    }
    if (line == Line::Stranger) {
        QCOMPARE(outcome, QStringLiteral("completed"));
        QVERIFY2(told, "the junk came while the transfer ran, and the console said so");
        QVERIFY(w.console().text().count("was set aside") <= 1);
    }
    QVERIFY(w.dialogs().errors.isEmpty());
    qInfo("%s: %s%s", QTest::currentDataTag(), qPrintable(outcome),
          stopped ? " after X (a reply was eaten)" : "");
}

QTEST_MAIN(TestHostile)
#include "tst_hostile.moc"
