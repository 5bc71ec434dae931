// The ground floor's byte rules: the code page both ways and where lines end; and the log,
// whose writer runs on a thread of its own.
#include "core/Cp1251.h"
#include "core/LineEnds.h"
#include "core/LogFile.h"

#include "TestFiles.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestCore : public QObject {
    Q_OBJECT
private slots:
    void everyByteSurvivesTheCodePage();
    void lineEnds_data();
    void lineEnds();
    void logKeepsEveryPieceInOrder();
    void fullLogToldOncePerRun();
    void fillingDiskSaysWhy();
};

// Whatever the board sends must come back unchanged when the operator sends it again.
void TestCore::everyByteSurvivesTheCodePage() {
    const QString text = Cp1251::toText(allBytes());
    QCOMPARE(text.size(), 256);
    QCOMPARE(Cp1251::toBytes(text).toHex(), allBytes().toHex());
    QCOMPARE(text.at(0xB8), QChar(0x0451)); // ё, away from the alphabet's run
    QCOMPARE(Cp1251::toBytes(QStringLiteral("\u20AC\u4E2D")), QByteArray("\x88?"));
}

void TestCore::lineEnds_data() {
    QTest::addColumn<QByteArrayList>("pieces"); // fed one after another
    QTest::addColumn<int>("limit");
    QTest::addColumn<QByteArrayList>("lines");
    QTest::newRow("CR LF, lone CR, lone LF, LF CR") << QByteArrayList{"A\r\nB\rC\nD\n\rE\r\n"} << -1
                                                    << QByteArrayList{"A", "B", "C", "D", "", "E"};
    QTest::newRow("CR LF split across pieces, then CR, text, LF")
        << QByteArrayList{"A\r", "\nB\r", "", "\n", "C\r", "D\n"} << -1
        << QByteArrayList{"A", "B", "C", "D"};
    QTest::newRow("limit stops storing")
        << QByteArrayList{"1\n2\n", "3\n4"} << 2 << QByteArrayList{"1", "2"};
    QTest::newRow("NUL is text") << QByteArrayList{QByteArray("A\0B\n", 4)} << -1
                                 << QByteArrayList{QByteArray("A\0B", 3)};
}

void TestCore::lineEnds() {
    QFETCH(QByteArrayList, pieces);
    QFETCH(int, limit);
    QFETCH(QByteArrayList, lines);
    LineCollector collector(limit);
    for (const QByteArray& piece : pieces)
        collector.feed(piece);
    QCOMPARE(collector.finish(), lines);
    if (limit < 0)
        QCOMPARE(splitLines(pieces.join()), lines);
}

// Pieces handed over while the writer is busy with a large one, then a reopen or the object's
// end: every byte lands once, in the order it came.
void TestCore::logKeepsEveryPieceInOrder() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Terminal.log"));
    QByteArray expected;
    {
        LogFile log(path);
        for (int round = 0; round < 3; ++round) { // open, reopen, reopen
            QVERIFY(!log.open());
            for (int i = 0; i < 20000; ++i) {
                QByteArray piece = QByteArray::number(round * 20000 + i) + ';';
                piece += QByteArray(i == 19990 ? 8 << 20 : i % 97, char('a' + i % 26));
                log.append(piece);
                expected += piece;
            }
            if (round == 1) {
                log.flush();
                QCOMPARE(readFile(path), expected);
            }
        }
    } // the end writes what is still waiting
    QCOMPARE(readFile(path).size(), expected.size());
    QVERIFY(readFile(path) == expected);
}

// A log on a full device: every write fails, and the operator hears of it once until the log is
// opened again.
void TestCore::fullLogToldOncePerRun() {
    LogFile log(QStringLiteral("/dev/full"));
    QSignalSpy told(&log, &LogFile::failureWaiting);
    for (int run = 1; run <= 2; ++run) {
        QVERIFY(!log.open());
        for (int i = 0; i < 3; ++i) { // one write after another
            log.append("reply\r\n");
            log.flush();
        }
        QCOMPARE(told.count(), run);
        const std::optional<Failure> why = log.takeFailure();
        QVERIFY(why);
        QCOMPARE(why->number, int(ErrorNumber::DeviceIo));
        QVERIFY(!log.takeFailure());
    }
}

// A disk that fills in the middle of a piece: the write is cut short, which by itself says no
// reason; the operator must still hear why, and the log keep a start of what came.
void TestCore::fillingDiskSaysWhy() {
    QTemporaryDir dir;
    const SmallDisk disk(dir.path());
    if (!disk.mounted())
        QSKIP("mounting a small tmpfs needs root (as in CI) to fill a disk");
    const QString path = dir.filePath(QStringLiteral("Terminal.log"));
    const QByteArray piece = allBytes().repeated(400); // 100 KB
    {
        LogFile log(path);
        QVERIFY(!log.open());
        log.append(piece);
        log.flush();
        const std::optional<Failure> why = log.takeFailure();
        QVERIFY(why);
        QCOMPARE(why->number, int(ErrorNumber::DeviceIo));
        QVERIFY2(why->description.contains(QStringLiteral("space")), qPrintable(why->description));
    }
    const QByteArray kept = readFile(path);
    QVERIFY(!kept.isEmpty() && piece.startsWith(kept));
}

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
