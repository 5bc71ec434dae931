// The board simulator, driven in-process the way the terminal drives a board: over UDP and
// over its pseudo-terminal.
#include "TestFiles.h"
#include "board/BoardSimulator.h"
#include "board/ModbusFrames.h"

#include <QDir>
#include <QFile>
#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include <fcntl.h>
#include <memory>
#include <termios.h>
#include <unistd.h>

using board::BoardOptions;
using board::BoardSimulator;

namespace {

constexpr int TimeoutMs = 20000; // a ceiling; on a timeout the comparison shows what did arrive

class UdpProbe : public QObject {
public:
    explicit UdpProbe(quint16 boardPort) : port_(boardPort) {
        socket_.bind(QHostAddress::LocalHost, 0);
        connect(&socket_, &QUdpSocket::readyRead, this, [this] {
            while (socket_.hasPendingDatagrams())
                received_.append(socket_.receiveDatagram().data());
        });
    }
    // Sends a command line and waits for the datagram ending in OK, ND or ERROR.
    QByteArrayList exchange(const QByteArray& line) {
        received_.clear();
        socket_.writeDatagram(line + "\r\n", QHostAddress::LocalHost, port_);
        static_cast<void>(QTest::qWaitFor(
            [&] {
                const QByteArray last = received_.value(received_.size() - 1);
                return last.endsWith("OK\r\n") || last.endsWith("ND\r\n") ||
                       last.endsWith("ERROR\r\n");
            },
            TimeoutMs));
        return received_;
    }

private:
    QUdpSocket socket_;
    quint16 port_;
    QByteArrayList received_;
};

// The port of a started simulator. One that did not start answers nothing, and the first
// comparison fails.
quint16 started(BoardSimulator& board) {
    QString error;
    if (!board.start(&error))
        qWarning("%s", qPrintable(error));
    return board.udpPort();
}

// The simulator on a free port and a probe that talks to it over UDP.
struct Rig {
    explicit Rig(BoardOptions options = {})
        : board((options.udpPort = 0, options)), udp(started(board)) {}
    BoardSimulator board;
    UdpProbe udp;
};

} // namespace

class TestBoard : public QObject {
    Q_OBJECT
private slots:
    void programIsKeptInNumberOrder();
    void flashRead_data();
    void flashRead();
    void serialFrames();
    void registerWrittenReadsBack();
    void fileNameEscapingTheDiskIsRefused();
    void liveRegistersFollowTheClock_data();
    void liveRegistersFollowTheClock();
};

void TestBoard::programIsKeptInNumberOrder() {
    Rig rig;
    for (const char* line : {"30 PRINT 3", "10 PRINT 1", "20 PRINT 2", "20 PRINT \"two\"", "30"})
        QCOMPARE(rig.udp.exchange(line), QByteArrayList{"OK\r\n"});
    // Each line is a datagram of its own, and so is the final OK.
    QCOMPARE(rig.udp.exchange("list"),
             (QByteArrayList{"10 PRINT 1\r\n", "20 PRINT \"two\"\r\n", "OK\r\n"}));
}

void TestBoard::flashRead_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<QList<int>>("blocks"); // bytes answered by each READ 20
    QTest::addColumn<QByteArrayList>("tails");
    QTest::newRow("empty") << 0 << QList<int>{0} << QByteArrayList{"ND"};
    QTest::newRow("20 bytes") << 20 << QList<int>{20, 0} << QByteArrayList{"OK", "ND"};
    QTest::newRow("21 bytes") << 21 << QList<int>{20, 1} << QByteArrayList{"OK", "ND"};
}

void TestBoard::flashRead() {
    QFETCH(int, size);
    QFETCH(QList<int>, blocks);
    QFETCH(QByteArrayList, tails);
    QTemporaryDir folder;
    BoardOptions options;
    options.diskDir = folder.path();
    Rig rig(options);

    const QByteArray contents = allBytes().mid(0xA5, size); // digits and letters in the hex
    QCOMPARE(rig.udp.exchange("FOPEN \"data.bin\",WN"), QByteArrayList{"OK\r\n"});
    // Two writes must append.
    for (const QByteArray& part : {contents.left(size / 2), contents.mid(size / 2)})
        QCOMPARE(rig.udp.exchange("WRITE \"" + part.toHex() + '"'), QByteArrayList{"OK\r\n"});
    QCOMPARE(rig.udp.exchange("CLOSE"), QByteArrayList{"OK\r\n"});

    QCOMPARE(rig.udp.exchange("FOPEN \"data.bin\",R"), QByteArrayList{"OK\r\n"});
    qsizetype at = 0;
    for (qsizetype i = 0; i < blocks.size(); ++i) {
        const QByteArray expected = contents.mid(at, blocks[i]).toHex().toUpper() + tails[i];
        QCOMPARE(rig.udp.exchange("READ 20"), QByteArrayList{expected + "\r\n"});
        at += blocks[i];
    }
}

// Frames back to back in one write on the pty: "NEW" to address 16 with a damaged CRC (no
// answer), the same with its CRC, then a read past the register bank (an exception).
void TestBoard::serialFrames() {
    Rig rig;
    const int fd = ::open(qPrintable(rig.board.ptyPath()), O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(fd >= 0);
    termios raw{};
    ::tcgetattr(fd, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(fd, TCSANOW, &raw);
    const QByteArray frames = QByteArray::fromHex("1043054E45570D0A7BD3"
                                                  "1043054E45570D0A7BD4"
                                                  "1003006300023754");
    QCOMPARE(::write(fd, frames.constData(), size_t(frames.size())), ssize_t(frames.size()));
    QByteArray got;
    static_cast<void>(QTest::qWaitFor(
        [&] {
            char buffer[64];
            for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
                got.append(buffer, qsizetype(n));
            return got.size() >= 14;
        },
        TimeoutMs));
    ::close(fd);
    QCOMPARE(got.toHex(' '), QByteArray("10 43 04 4f 4b 0d 0a 17 a7 10 83 02 90 f4"));
}

// Function 06 answers with its own frame; over UDP, the client's MODBUS tests reach the bank.
void TestBoard::registerWrittenReadsBack() {
    board::RegisterBank bank;
    QCOMPARE(bank.respond(QByteArray::fromHex("10060005123497fd")).toHex(), "10060005123497fd");
    QCOMPARE(bank.respond(QByteArray::fromHex("100300040002868b")).toHex(), "10030400001234f645");
}

void TestBoard::fileNameEscapingTheDiskIsRefused() {
    QTemporaryDir folder;
    BoardOptions options;
    options.diskDir = folder.filePath("disk");
    QVERIFY(QDir().mkpath(options.diskDir));
    Rig rig(options);
    QCOMPARE(rig.udp.exchange("FOPEN \"../x\",WN"), QByteArrayList{"ERROR\r\n"});
    QCOMPARE(rig.udp.exchange("WRITE \"00\""), QByteArrayList{"ERROR\r\n"});
    QVERIFY(!QFile::exists(folder.filePath("x")));
}

void TestBoard::liveRegistersFollowTheClock_data() {
    QTest::addColumn<qint64>("elapsedMs");
    QTest::addColumn<int>("counter");
    QTest::addColumn<int>("sine");
    QTest::newRow("a quarter turn") << qint64(7500) << 75 << 900;
    QTest::newRow("three quarters") << qint64(22500) << 225 << 100;
    QTest::newRow("the counter comes round") << qint64(100000) << 0 << 846;
}

void TestBoard::liveRegistersFollowTheClock() {
    QFETCH(qint64, elapsedMs);
    QFETCH(int, counter);
    QFETCH(int, sine);
    board::RegisterBank bank([elapsedMs] { return elapsedMs; });
    const QByteArray read = QByteArray::fromHex("1003005A00032699"); // 90..92
    const QByteArray first = bank.respond(read);
    const QByteArray second = bank.respond(read);
    const auto word = [](const QByteArray& reply, int at) {
        return quint8(reply[at]) << 8 | quint8(reply[at + 1]);
    };
    QCOMPARE(first.size(), 11);
    QCOMPARE(word(first, 3), counter);
    QCOMPARE(word(first, 5), sine);
    QCOMPARE(second.left(7), first.left(7));
    for (const QByteArray& reply : {first, second})
        QVERIFY(word(reply, 7) >= 340 && word(reply, 7) <= 660);
    QVERIFY(word(first, 7) != word(second, 7)); // new noise at every read, the clock standing still
}

QTEST_GUILESS_MAIN(TestBoard)
#include "tst_board.moc"
