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

// One reply to a receive after its first READ 20, or (`first`) to its FOPEN. Only a line that
// is exactly one of the board's answers writes the file; anything else that holds "OK" or "ND"
// ends the receive, its part file holding only what came before.
void TestFlashDiskTransfers::receiveReplies_data() {
    QTest::addColumn<bool>("first");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QString>("bar");
    const QString reading = QStringLiteral("READ"), ok = QStringLiteral("OK"),
                  error = QStringLiteral("ERROR");
    QTest::newRow("piece") << false << QByteArray(40, 'F') + "OK" << QByteArray(20, '\xff')
                           << reading;
    QTest::newRow("38 digits then ND")
        << false << QByteArray(38, '1') + "ND" << QByteArray(19, '\x11') << ok;
    QTest::newRow("ND alone") << false << QByteArray("ND") << QByteArray() << ok;
    QTest::newRow("no marker: shown, waited past")
        << false << QByteArray("FFFF") << QByteArray() << reading;
    QTest::newRow("OK where a piece must come")
        << false << QByteArray("OK") << QByteArray() << error;
    QTest::newRow("piece cut short")
        << false << QByteArray(38, 'F') + "OK" << QByteArray() << error;
    QTest::newRow("lower case") << false << QByteArray(40, 'f') + "OK" << QByteArray() << error;
    QTest::newRow("odd digits then ND")
        << false << QByteArray(41, '1') + "ND" << QByteArray() << error;
    QTest::newRow("ND and OK") << false << QByteArray("FFNDOK") << QByteArray() << error;
    QTest::newRow("ND and ERROR") << false << QByteArray("FFND ERROR") << QByteArray() << error;
    QTest::newRow("FOPEN: bare OK") << true << QByteArray("OK") << QByteArray() << reading;
    QTest::newRow("FOPEN: echo, then OK")
        << true << QByteArray("FOPEN \"F\",R\r\nOK") << QByteArray() << reading;
    QTest::newRow("FOPEN: lower case") << true << QByteArray("ffOK") << QByteArray() << error;
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
        t.sent.clear();
        t.pausedMs = 0;
        t.receive(reply + "\r\n");
        const bool complete = bar == QLatin1String("OK");
        QCOMPARE(complete ? t.flashFile() : t.flashPart(), written);
        QCOMPARE(t.barText, bar);
        const bool reads = bar == QLatin1String("READ") && reply.contains("OK");
        QCOMPARE(t.sent.value(0), reads           ? QByteArray("READ 20\r\n")
                                  : bar == "READ" ? QByteArray()
                                                  : QByteArray("CLOSE\r\n"));
        QCOMPARE(t.pausedMs, reads && !udp ? 50 : 0);
        QCOMPARE(t.transfers.flash().receiving(), bar == QLatin1String("READ"));
    }
}

// The bar counts pieces 1..99, then 0 and on.
void TestFlashDiskTransfers::pieceCounter() {
    FlashDiskTransfers m;
    m.startReceive("S.TXT");
    QList<qint64> values;
    for (int i = 0; i < 101; ++i) {
        const QByteArray reply = i == 0 ? "OK" : QByteArray(40, '0') + "OK";
        for (const TransferAction& a : m.onReceiveReply(reply, true)) {
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
    QCOMPARE(t.flashPart(), bytes.left(20));
    QVERIFY(!QFile::exists(t.transfers.flashFile().path()));

    FlashDiskTransfers idle;
    const TransferActions close = idle.closeTransfer();
    QVERIFY(close.contains(act::sendUdp("CLOSE\r\n")) && close.contains(act::logLine("CLOSE\r\n")));
    QVERIFY(!close.contains(act::finished(End::Stopped)));
}

QTEST_GUILESS_MAIN(TestFlashDiskTransfers)
#include "tst_flashdisktransfers.moc"
