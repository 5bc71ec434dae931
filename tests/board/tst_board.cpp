#include "board/BoardProbes.h"

#include "board/BoardSimulator.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using board::BoardOptions;
using board::BoardSimulator;

namespace {

std::unique_ptr<BoardSimulator> startBoard(BoardOptions options = {}) {
    options.udpHost = QHostAddress(QHostAddress::LocalHost);
    options.udpPort = 0;
    auto simulator = std::make_unique<BoardSimulator>(options);
    QString error;
    if (!simulator->start(&error)) {
        qWarning("board did not start: %s", qPrintable(error));
        return nullptr;
    }
    return simulator;
}

QByteArray joined(const QList<QByteArray>& chunks) {
    return chunks.join();
}

} // namespace

class TestBoard : public QObject {
    Q_OBJECT
private slots:
    void programIsKeptInNumberOrder();
    void commands_data();
    void commands();
    void flashRead_data();
    void flashRead();
    void serialTextAcrossReads();
    void consoleFrameRoundTrip();
    void longReplyIsCutIntoFrames();
    void modbus_data();
    void modbus();
    void faultInjection_data();
    void faultInjection();
    void hostileInputIsSurvived();
};

void TestBoard::programIsKeptInNumberOrder() {
    auto board = startBoard();
    QVERIFY(board);
    UdpProbe udp(board->udpPort());
    for (const char* line : {"30 PRINT 3", "10 PRINT 1", "20 PRINT 2", "20 PRINT \"two\"", "30"})
        QCOMPARE(udp.exchange(line), QList<QByteArray>{"OK\r\n"});

    // Each line is a datagram of its own, and so is the final OK.
    const QList<QByteArray> expected{"10 PRINT 1\r\n", "20 PRINT \"two\"\r\n", "OK\r\n"};
    QCOMPARE(udp.exchange("LIST"), expected);
}

void TestBoard::commands_data() {
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("lower-case list") << QByteArray("list") << QByteArray("OK\r\n");
    QTest::newRow("mixed-case print")
        << QByteArray("pRiNt \"hi there\"") << QByteArray("hi there\r\nOK\r\n");
    QTest::newRow("print integer") << QByteArray("PRINT -42") << QByteArray("-42\r\nOK\r\n");
    QTest::newRow("print bare word") << QByteArray("PRINT x") << QByteArray("ERROR\r\n");
    QTest::newRow("print trailing junk") << QByteArray("PRINT \"a\" b") << QByteArray("ERROR\r\n");
    QTest::newRow("uart") << QByteArray("uart 2,7") << QByteArray("OK\r\n");
    QTest::newRow("uart without comma") << QByteArray("UART 27") << QByteArray("ERROR\r\n");
    QTest::newRow("odd quotes refused") << QByteArray("10 PRINT \"a") << QByteArray("ERROR\r\n");
    QTest::newRow("even quotes kept") << QByteArray("10 PRINT \"a\";\"b\"") << QByteArray("OK\r\n");
    QTest::newRow("line number too big") << QByteArray("99999 END") << QByteArray("ERROR\r\n");
    QTest::newRow("unknown keyword") << QByteArray("FROB") << QByteArray("ERROR\r\n");
    QTest::newRow("status") << QByteArray("STATUS") << QByteArray("OK\r\n");
    QTest::newRow("read before open") << QByteArray("READ 20") << QByteArray("ERROR\r\n");
    QTest::newRow("write before open") << QByteArray("WRITE \"00\"") << QByteArray("ERROR\r\n");
    QTest::newRow("open missing file") << QByteArray("FOPEN \"nope\",R") << QByteArray("ERROR\r\n");
    QTest::newRow("name escapes disk")
        << QByteArray("FOPEN \"../x\",WN") << QByteArray("ERROR\r\n");
    QTest::newRow("name with slash") << QByteArray("FOPEN \"a/b\",WN") << QByteArray("ERROR\r\n");
    QTest::newRow("name too long")
        << "FOPEN \"" + QByteArray(65, 'n') + "\",WN" << QByteArray("ERROR\r\n");
    QTest::newRow("mdc runs the line") << QByteArray("MDC 5,print 7") << QByteArray("7\r\nOK\r\n");
    QTest::newRow("mdc does not nest") << QByteArray("MDC 5,MDC 6,LIST") << QByteArray("ERROR\r\n");
}

void TestBoard::commands() {
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, reply);
    auto board = startBoard();
    QVERIFY(board);
    UdpProbe udp(board->udpPort());
    const QByteArray got = joined(udp.exchange(command));
    // STATUS: only its last line is fixed; the lines before describe the board.
    if (command == "STATUS")
        QVERIFY2(got.contains("Program lines: 0\r\n") && got.endsWith(reply), got.constData());
    else
        QCOMPARE(got, reply);
}

void TestBoard::flashRead_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<QList<int>>("blocks"); // bytes answered by each READ 20
    QTest::addColumn<QByteArrayList>("tails");

    QTest::newRow("empty") << 0 << QList<int>{0} << QByteArrayList{"ND"};
    QTest::newRow("19 bytes") << 19 << QList<int>{19} << QByteArrayList{"ND"};
    QTest::newRow("20 bytes") << 20 << QList<int>{20, 0} << QByteArrayList{"OK", "ND"};
    QTest::newRow("21 bytes") << 21 << QList<int>{20, 1} << QByteArrayList{"OK", "ND"};
    QTest::newRow("40 bytes") << 40 << QList<int>{20, 20, 0} << QByteArrayList{"OK", "OK", "ND"};
}

void TestBoard::flashRead() {
    QFETCH(int, size);
    QFETCH(QList<int>, blocks);
    QFETCH(QByteArrayList, tails);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    BoardOptions options;
    options.diskDir = folder.path();
    auto board = startBoard(options);
    QVERIFY(board);
    UdpProbe udp(board->udpPort());

    QByteArray contents;
    for (int i = 0; i < size; ++i)
        contents.append(char(0xA5 + i * 7)); // mixes digits and letters in the hex
    QCOMPARE(udp.exchange("FOPEN \"data.bin\",WN"), QList<QByteArray>{"OK\r\n"});
    // Two writes must append, and refused writes must leave the file alone.
    const qsizetype half = size / 2;
    for (const QByteArray& part : {contents.left(half), contents.mid(half)})
        QCOMPARE(udp.exchange("WRITE \"" + part.toHex() + '"'), QList<QByteArray>{"OK\r\n"});
    QCOMPARE(udp.exchange("WRITE \"ABC\""), QList<QByteArray>{"ERROR\r\n"});
    QCOMPARE(udp.exchange("WRITE \"0G\""), QList<QByteArray>{"ERROR\r\n"});
    QCOMPARE(udp.exchange("CLOSE"), QList<QByteArray>{"OK\r\n"});

    QFile onDisk(folder.filePath("data.bin"));
    QVERIFY(onDisk.open(QIODevice::ReadOnly));
    QCOMPARE(onDisk.readAll(), contents);

    QCOMPARE(udp.exchange("fopen \"data.bin\",r"), QList<QByteArray>{"OK\r\n"});
    qsizetype at = 0;
    for (qsizetype i = 0; i < blocks.size(); ++i) {
        const QByteArray expected = contents.mid(at, blocks[i]).toHex().toUpper() + tails[i];
        QCOMPARE(udp.exchange("READ 20"), QList<QByteArray>{expected + "\r\n"});
        at += blocks[i];
    }
}

void TestBoard::serialTextAcrossReads() {
    auto board = startBoard();
    QVERIFY(board);
    PtyProbe pty(board->ptyPath());
    QVERIFY(pty.isOpen());
    QCOMPARE(pty.request("10 PRINT 1\r\n", 4), QByteArray("OK\r\n"));
    // A command split over several writes, with its CR LF split too, runs once.
    const QByteArray listing = "10 PRINT 1\r\nOK\r\n";
    for (const char* piece : {"LI", "St\r", "\n"})
        QVERIFY(pty.send(piece));
    QTRY_COMPARE_WITH_TIMEOUT(pty.received, "OK\r\n" + listing, 5000);
}

void TestBoard::consoleFrameRoundTrip() {
    auto board = startBoard();
    QVERIFY(board);
    PtyProbe pty(board->ptyPath());
    QVERIFY(pty.isOpen());
    // The same NEW frame with a damaged CRC goes first and must be ignored.
    QVERIFY(pty.send(fromHex("10 43 05 4E 45 57 0D 0A 7B D4")));
    const QByteArray reply = pty.request(fromHex("10 43 05 4E 45 57 0D 0A 7B D3"), 9);
    QCOMPARE(reply.toHex(' '), QByteArray("10 43 04 4f 4b 0d 0a 17 a7"));
}

void TestBoard::longReplyIsCutIntoFrames() {
    auto board = startBoard();
    QVERIFY(board);
    PtyProbe pty(board->ptyPath());
    QVERIFY(pty.isOpen());
    const QByteArray text = "REM " + QByteArray(300, 'x');
    QCOMPARE(pty.request("10 " + text + "\r\n", 4), QByteArray("OK\r\n"));

    QByteArray list = fromHex("10 43 06 4C 49 53 54 0D 0A E2 D4");
    const QByteArray line = "10 " + text + "\r\n"; // 309 bytes: frames of 255 and 54
    const QByteArray got = pty.request(list, (255 + 5) + (54 + 5) + (4 + 5));
    QCOMPARE(got.size(), 255 + 5 + 54 + 5 + 4 + 5);
    QCOMPARE(quint8(got.at(2)), quint8(255));
    QCOMPARE(got.mid(3, 255) + got.mid(260 + 3, 54), line);
    QCOMPARE(got.right(9).toHex(' '), QByteArray("10 43 04 4f 4b 0d 0a 17 a7"));
}

void TestBoard::modbus_data() {
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QByteArrayList>("exchanges"); // request, reply, request, reply...

    QTest::newRow("write single then read, udp")
        << false
        << QByteArrayList{"10 06 00 05 12 34 97 fd", "10 06 00 05 12 34 97 fd",
                          "10 03 00 04 00 02 86 8b", "10 03 04 00 00 12 34 f6 45"};
    QTest::newRow("write multiple then read, serial")
        << true
        << QByteArrayList{"10 10 00 62 00 02 04 ab cd 00 07 d4 7b", "10 10 00 62 00 02 e3 57",
                          "10 03 00 62 00 02 66 94", "10 03 04 ab cd 00 07 0b 2b"};
    QTest::newRow("read past the bank, udp")
        << false << QByteArrayList{"10 03 00 63 00 02 37 54", "10 83 02 90 f4"};
    QTest::newRow("unknown function, serial")
        << true << QByteArrayList{"10 05 00 01 ff 00 de bb", "10 85 01 d3 55"};
    QTest::newRow("unknown function, udp")
        << false << QByteArrayList{"10 05 00 01 ff 00 de bb", "10 85 01 d3 55"};
}

void TestBoard::modbus() {
    QFETCH(bool, serial);
    QFETCH(QByteArrayList, exchanges);
    auto board = startBoard();
    QVERIFY(board);
    UdpProbe udp(board->udpPort());
    PtyProbe pty(board->ptyPath());
    QVERIFY(pty.isOpen());
    for (qsizetype i = 0; i + 1 < exchanges.size(); i += 2) {
        const QByteArray request = fromHex(exchanges[i]);
        const QByteArray expected = fromHex(exchanges[i + 1]);
        const QByteArray got =
            serial ? pty.request(request, expected.size()) : udp.request(request);
        QCOMPARE(got.toHex(' '), expected.toHex(' '));
    }
}

void TestBoard::faultInjection_data() {
    QTest::addColumn<QString>("chunk");
    QTest::addColumn<bool>("login");
    QTest::addColumn<int>("drop");
    QTest::addColumn<int>("delay");
    QTest::addColumn<QByteArrayList>("listing"); // datagrams answering LIST

    QTest::newRow("whole") << "whole" << false << 0 << 0 << QByteArrayList{"10 A\r\nOK\r\n"};
    QTest::newRow("5-byte pieces")
        << "5" << false << 0 << 0 << QByteArrayList{"10 A\r", "\nOK\r\n"};
    QTest::newRow("login prompt") << "line" << true << 0 << 0 << QByteArrayList{"Login:\r\n"};
    // The OK for storing the line is chunk 1, so chunk 2 (the listed line) is lost.
    QTest::newRow("drop every 2nd") << "line" << false << 2 << 0 << QByteArrayList{"OK\r\n"};
    QTest::newRow("delayed") << "line" << false << 0 << 150 << QByteArrayList{"10 A\r\n", "OK\r\n"};
}

void TestBoard::faultInjection() {
    QFETCH(QString, chunk);
    QFETCH(bool, login);
    QFETCH(int, drop);
    QFETCH(int, delay);
    QFETCH(QByteArrayList, listing);
    BoardOptions options;
    QVERIFY(board::parseChunkMode(chunk, &options.chunkMode, &options.chunkBytes));
    options.login = login;
    options.dropEvery = drop;
    options.delayMs = delay;
    auto board = startBoard(options);
    QVERIFY(board);
    UdpProbe udp(board->udpPort());
    QCOMPARE(udp.exchange("10 A"), QList<QByteArray>{"OK\r\n"});
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(udp.exchange("LIST"), listing);
    QVERIFY(clock.elapsed() >= delay);
}

void TestBoard::hostileInputIsSurvived() {
    auto board = startBoard();
    QVERIFY(board);
    UdpProbe udp(board->udpPort());
    PtyProbe pty(board->ptyPath());
    QVERIFY(pty.isOpen());

    // The largest datagram there is, with no line end: it waits, bounded, and the next
    // line completes it into one refused command.
    udp.send(QByteArray(65507, '\x01'));
    QCOMPARE(udp.exchange("PRINT 1"), QList<QByteArray>{"ERROR\r\n"});
    QCOMPARE(udp.exchange("PRINT 2"), (QList<QByteArray>{"2\r\n", "OK\r\n"}));

    // A megabyte line on the serial link earns one ERROR and nothing of it runs.
    pty.received.clear();
    QVERIFY(pty.send(QByteArray(1024 * 1024, 'P')));
    QVERIFY(pty.send("\r\nPRINT 3\r\n"));
    QTRY_COMPARE_WITH_TIMEOUT(pty.received, QByteArray("ERROR\r\n3\r\nOK\r\n"), 5000);

    // A console frame that claims more payload than it carries is dropped, not run.
    // Lines sent while the board still waits for the rest of it vanish into it, so keep
    // asking until one is answered. No part of the frame or a swallowed line may run.
    pty.received.clear();
    QVERIFY(pty.send(fromHex("10 43 C8 4E 45 57")));
    QTRY_VERIFY_WITH_TIMEOUT((pty.send("PRINT 4\r\n"), pty.received.contains("4\r\nOK\r\n")), 5000);
    QCOMPARE(QByteArray(pty.received).replace("4\r\nOK\r\n", ""), QByteArray());
}

QTEST_GUILESS_MAIN(TestBoard)
#include "tst_board.moc"
