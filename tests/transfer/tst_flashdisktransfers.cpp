// Rules of the flash-disk transfers the window tests cannot reach through the board simulator:
// the console and pacing of a send, replies no real board gives, the piece counter's wrap and
// a piece that comes after "X".
#include "SimulatedTerminal.h"

#include <QTest>

using End = TransferAction::End;
using Lines = QList<QByteArray>;

class TestFlashDiskTransfers : public QObject {
    Q_OBJECT
private slots:
    void sendLayout();
    void receiveReplies_data();
    void receiveReplies();
    void pieceCounter();
    void cancelledReceive();
};

// What goes to the board and the console, over the serial link (paced by pauses).
void TestFlashDiskTransfers::sendLayout() {
    SimulatedTerminal t;
    t.udp = false;
    t.sendFile("A.TXT", QByteArray("\x0a\x00\xff", 3));
    QCOMPARE(t.sent, Lines({"FOPEN \"A.TXT\",WN\r\n", "WRITE \"0A00FF\"\r\n", "CLOSE\r\n"}));
    QCOMPARE(t.console, QByteArray("FOPEN \"A.TXT\",WN\r\nOK\r\n\r\nWRITE \"0A00FF\"\r\nOK\r\n\r\n"
                                   "OK\r\n")); // the answer to CLOSE is plain console text
    QCOMPARE(t.pausedMs, 50);
}

// One reply to a receive after its first READ 20, or (`first`) to its FOPEN.
void TestFlashDiskTransfers::receiveReplies_data() {
    QTest::addColumn<bool>("first");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QString>("bar");
    const QString reading = QStringLiteral("READ"), ok = QStringLiteral("OK");
    // Lower case and anything else count as 0; "OK" itself is read as a pair, and missing
    // characters give 0.
    QTest::newRow("lower case, short")
        << false << QByteArray("4a1OK") << QByteArray::fromHex("4010") + QByteArray(18, 0)
        << reading;
    QTest::newRow("garbage") << false << QByteArray(" 1G\xff OK") << '\x01' + QByteArray(19, 0)
                             << reading;
    // Before ND, an odd digit count rounds half to even.
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
        t.receiveFile("F");
        if (!first)
            t.receive("OK\r\n");
        QCOMPARE(t.flashFile(), QByteArray());
        t.sent.clear();
        t.pausedMs = 0;
        t.receive(reply + "\r\n");
        QCOMPARE(t.flashFile(), written);
        QCOMPARE(t.barText, bar);
        const bool reads = bar == QLatin1String("READ") && reply.contains("OK");
        QCOMPARE(t.sent.value(0), reads           ? QByteArray("READ 20\r\n")
                                  : bar == "READ" ? QByteArray()
                                                  : QByteArray("CLOSE\r\n"));
        QCOMPARE(t.pausedMs, reads && !udp ? 50 : 0);
        QCOMPARE(t.transfers.flash().LoadFilesMode(), bar == QLatin1String("READ"));
    }
}

// The bar counts pieces 1..99, then 0 and on.
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
}

// "X" mid-receive: CLOSE goes out and into the log (never the console), the local file keeps
// what arrived and a piece answering an earlier READ 20 goes nowhere. "X" with nothing running
// sends CLOSE but ends nothing.
void TestFlashDiskTransfers::cancelledReceive() {
    SimulatedTerminal t;
    QByteArray bytes(100, Qt::Uninitialized);
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7);
    t.sendFile("C.BIN", bytes);
    t.receiveFile("C.BIN");
    t.receive(t.pending.takeFirst()); // the answer to FOPEN
    t.receive(t.pending.takeFirst()); // the first piece
    t.transfers.closeFlashDisk();
    QCOMPARE(t.ended, End::Stopped);
    QVERIFY(!t.transfers.flashFile().isOpen() && !t.transfers.flash().running());
    QVERIFY(t.logged.endsWith("READ 20\r\nCLOSE\r\n"));
    QVERIFY(t.console.endsWith("READ 20\r\n"));
    t.run(); // the answer to the second READ 20 comes late
    QCOMPARE(t.flashFile(), bytes.left(20));

    FlashDiskTransfers idle;
    const TransferActions close = idle.Command5_Click();
    QVERIFY(close.contains(act::sendUdp("CLOSE\r\n")) && close.contains(act::logLine("CLOSE\r\n")));
    QVERIFY(!close.contains(act::finished(End::Stopped)));
}

QTEST_GUILESS_MAIN(TestFlashDiskTransfers)
#include "tst_flashdisktransfers.moc"
