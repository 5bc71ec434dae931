// What of the board simulator no window or client test reaches: the program kept in number
// order whatever the order typed, a file name that would leave its disk, and the live registers.
// Every other answer of it is checked by the tests that drive it.
#include "board/CommandInterpreter.h"
#include "board/ModbusFrames.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using Lines = QList<QByteArray>;

class TestBoard : public QObject {
    Q_OBJECT
private slots:
    void commandLine();
    void liveRegistersFollowTheClock_data();
    void liveRegistersFollowTheClock();
};

void TestBoard::commandLine() {
    QTemporaryDir folder;
    QVERIFY(QDir().mkpath(folder.filePath("disk")));
    board::CommandInterpreter board(folder.filePath("disk"));
    for (const char* line : {"30 PRINT 3", "10 PRINT 1", "20 PRINT 2", "20 PRINT \"two\"", "30"})
        QCOMPARE(board.run(line), Lines{"OK\r\n"});
    QCOMPARE(board.run("list"), (Lines{"10 PRINT 1\r\n", "20 PRINT \"two\"\r\n", "OK\r\n"}));
    QCOMPARE(board.run("FOPEN \"../x\",WN"), Lines{"ERROR\r\n"});
    QCOMPARE(board.run("WRITE \"00\""), Lines{"ERROR\r\n"});
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
