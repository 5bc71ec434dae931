#include "SimulatedTerminal.h"

#include <QTest>

using End = TransferAction::End;
using Lines = QList<QByteArray>;
using Sizes = QList<int>;

namespace {

QByteArray pattern(int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + i / 256) & 0xFF); // every byte value, in a changing order
    return bytes;
}

} // namespace

class TestFlashDiskTransfers : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void sendLayout();
    void receiveReplies_data();
    void receiveReplies();
    void pieceCounter();
    void refusedAndCancelled();
};

// Send to the simulated board and read back: the pieces are 21 bytes with a last one of 1..21,
// and the file comes back byte for byte.
void TestFlashDiskTransfers::roundTrip_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<Sizes>("pieces");
    QTest::addColumn<bool>("udp");
    QTest::newRow("1") << 1 << Sizes{1} << true;
    QTest::newRow("20") << 20 << Sizes{20} << true;
    QTest::newRow("21") << 21 << Sizes{21} << true;
    QTest::newRow("22") << 22 << Sizes{21, 1} << true;
    QTest::newRow("40, serial") << 40 << Sizes{21, 19} << false;
    QTest::newRow("41") << 41 << Sizes{21, 20} << true;
    QTest::newRow("256, serial") << 256 << Sizes(12, 21) + Sizes{4} << false;
    QTest::newRow("40000") << 40000 << Sizes(1904, 21) + Sizes{16} << true;
}

void TestFlashDiskTransfers::roundTrip() {
    QFETCH(int, size);
    QFETCH(Sizes, pieces);
    QFETCH(bool, udp);
    SimulatedTerminal t;
    t.udp = udp;
    const QByteArray content = pattern(size);
    t.sendFile("DATA.BIN", content);
    Sizes sent;
    for (const QByteArray& line : t.sent) {
        if (line.startsWith("WRITE \""))
            sent.append(int(line.size() - 10) / 2); // WRITE "", CR LF
    }
    QCOMPARE(sent, pieces);
    QCOMPARE(t.progressValue, t.progressMax + 1); // one above the maximum at the end
    QCOMPARE(t.finished, End::Completed);

    t.finished.reset();
    t.receiveFile("DATA.BIN");
    QCOMPARE(t.finished, End::Completed);
    QCOMPARE(t.file.size(), content.size());
    QCOMPARE(t.file, content);
    QCOMPARE(t.progressText, QStringLiteral("OK"));
    QVERIFY(!t.fileOpen);
}

// What goes to the board, the console and the log, over the serial link (paced by pauses).
void TestFlashDiskTransfers::sendLayout() {
    SimulatedTerminal t;
    t.udp = false;
    t.sendFile("A.TXT", QByteArray("\x0a\x00\xff", 3));
    QCOMPARE(t.sent, Lines({"FOPEN \"A.TXT\",WN\r\n", "WRITE \"0A00FF\"\r\n", "CLOSE\r\n"}));
    QCOMPARE(t.console, QByteArray("FOPEN \"A.TXT\",WN\r\nOK\r\n\r\nWRITE \"0A00FF\"\r\nOK\r\n\r\n"
                                   "OK\r\n")); // the answer to CLOSE is plain console text
    QCOMPARE(t.log, QByteArray("FOPEN \"A.TXT\",WN\r\nWRITE \"0A00FF\"\r\nCLOSE\r\n"));
    QCOMPARE(t.commandLine, QByteArray("CLOSE"));
    QCOMPARE(t.pausedMs, 50);
}

// One reply to a receive after its first READ 20, or (`first`) to its FOPEN.
void TestFlashDiskTransfers::receiveReplies_data() {
    QTest::addColumn<bool>("first");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QString>("bar");
    const QByteArray digits = QByteArray("0123456789ABCDEF").repeated(3).left(40);
    const QString reading = QStringLiteral("READ"), ok = QStringLiteral("OK");
    QTest::newRow("piece") << false << digits + "OK\r\n" << QByteArray::fromHex(digits) << reading;
    // Lower case and anything else count as 0; "OK" itself is read as a pair, and missing
    // characters give 0.
    QTest::newRow("lower case, short")
        << false << QByteArray("4a1OK") << QByteArray::fromHex("4010") + QByteArray(18, 0)
        << reading;
    QTest::newRow("garbage") << false << QByteArray(" 1G\xff OK") << '\x01' + QByteArray(19, 0)
                             << reading;
    QTest::newRow("6 digits ND") << false << QByteArray("0A0B0CND\r\n")
                                 << QByteArray::fromHex("0A0B0C") << ok;
    QTest::newRow("ND alone") << false << QByteArray("ND\r\n") << QByteArray() << ok;
    QTest::newRow("41 then ND: 20")
        << false << QByteArray(41, '1') + "ND" << QByteArray(20, '\x11') << ok;
    QTest::newRow("43 then ND: 22")
        << false << QByteArray(43, '1') + "ND" << QByteArray(21, '\x11') + '\x10' << ok;
    QTest::newRow("ND and OK") << false << QByteArray("FFNDOK") << QByteArray("\xff") << ok;
    QTest::newRow("ND and ERROR") << false << QByteArray("FFND ERROR") << QByteArray()
                                  << QStringLiteral("ERROR");
    QTest::newRow("no marker") << false << QByteArray("FFFF") << QByteArray() << reading;
    QTest::newRow("FOPEN: bare OK") << true << QByteArray("OK\r\n") << QByteArray() << reading;
    QTest::newRow("FOPEN: echo") << true << QByteArray("FOPEN \"F\",R\r\nOK") << QByteArray()
                                 << reading;
    QTest::newRow("FOPEN: lower case") << true << QByteArray("ffOK") << QByteArray() << reading;
    QTest::newRow("FOPEN: piece") << true << QByteArray(40, 'F') + "OK" << QByteArray(20, '\xff')
                                  << reading;
}

void TestFlashDiskTransfers::receiveReplies() {
    QFETCH(bool, first);
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, written);
    QFETCH(QString, bar);
    for (const bool udp : {true, false}) {
        SimulatedTerminal t;
        t.udp = udp;
        t.fileOpen = true;
        t.carryOut(t.flash.startReceive("F"));
        if (!first)
            t.receive("OK\r\n");
        QCOMPARE(t.file, QByteArray());
        t.sent.clear();
        t.pausedMs = 0;
        t.receive(reply);
        QCOMPARE(t.file, written);
        QCOMPARE(t.progressText, bar);
        const bool reads = bar == QLatin1String("READ") && reply.contains("OK");
        QCOMPARE(t.sent.value(0), reads           ? QByteArray("READ 20\r\n")
                                  : bar == "READ" ? QByteArray()
                                                  : QByteArray("CLOSE\r\n"));
        QCOMPARE(t.pausedMs, reads && !udp ? 50 : 0);
        QCOMPARE(t.flash.LoadFilesMode(), bar == QLatin1String("READ"));
    }
}

// The bar counts pieces 1..99, then 0 and on; the end shows 100 with "OK".
void TestFlashDiskTransfers::pieceCounter() {
    FlashDiskTransfers m;
    m.startReceive("S.TXT");
    QList<qint64> values;
    for (int i = 0; i < 101; ++i) {
        for (const TransferAction& a : m.LOAD_FILES_parser(i == 0 ? "OK" : "00OK", true)) {
            if (a.kind == TransferAction::Kind::ProgressValue)
                values.append(a.value);
        }
    }
    QCOMPARE(values.size(), 100);
    QCOMPARE(values.mid(97), QList<qint64>({98, 99, 0}));
    const TransferActions end = m.LOAD_FILES_parser("ND", true);
    QCOMPARE(end.mid(end.size() - 3),
             TransferActions({act::progressText("OK"), act::progressValue(100),
                              act::finished(End::Completed)}));
}

// The board's ERROR, an unusable local file and "X" each end a transfer: CLOSE goes out and
// into the log (never the console), the local file keeps what arrived, later replies go
// nowhere. "X" with nothing running still sends CLOSE.
void TestFlashDiskTransfers::refusedAndCancelled() {
    SimulatedTerminal t;
    t.receiveFile("MISSING.TXT");
    QCOMPARE(t.sent, Lines({"FOPEN \"MISSING.TXT\",R\r\n", "CLOSE\r\n"}));
    QCOMPARE(t.progressText, QStringLiteral("ERROR"));
    QCOMPARE(t.finished, End::Refused);
    t.sent.clear();
    t.sendFile("", QByteArray("abc")); // the board refuses an empty name
    QCOMPARE(t.sent, Lines({"FOPEN \"\",WN\r\n", "CLOSE\r\n"}));
    t.sent.clear();
    t.sendFile("E", QByteArray());
    t.sendFile("E", Failure{53, QStringLiteral("File not found")});
    QVERIFY(t.sent.isEmpty());
    QCOMPARE(t.progressText, QStringLiteral("NO FILE"));
    QCOMPARE(t.errors.value(0).number, ErrorNumber::SubscriptOutOfRange);
    QCOMPARE(t.errors.value(1).number, 53);

    t.sendFile("C.BIN", pattern(100));
    t.fileOpen = true;
    t.file.clear();
    t.carryOut(t.flash.startReceive("C.BIN"));
    t.receive(t.pending.takeFirst()); // the answer to FOPEN
    t.receive(t.pending.takeFirst()); // the first piece
    t.carryOut(t.flash.Command5_Click());
    QCOMPARE(t.finished, End::Stopped);
    QVERIFY(!t.fileOpen && !t.flash.running());
    QVERIFY(t.log.endsWith("READ 20\r\nCLOSE\r\n"));
    QVERIFY(t.console.endsWith("READ 20\r\n"));
    t.run(); // the answer to the second READ 20 comes late
    QCOMPARE(t.file, pattern(20));

    FlashDiskTransfers idle;
    const TransferActions close = idle.Command5_Click();
    QVERIFY(close.contains(act::sendUdp("CLOSE\r\n")) && close.contains(act::logLine("CLOSE\r\n")));
    QVERIFY(!close.contains(act::finished(End::Stopped)));
}

QTEST_GUILESS_MAIN(TestFlashDiskTransfers)
#include "tst_flashdisktransfers.moc"
