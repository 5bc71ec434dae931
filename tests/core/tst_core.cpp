// The ground floor's byte rules: the code page both ways and where lines end.
#include "core/Cp1251.h"
#include "core/LineEnds.h"

#include "TestFiles.h"

#include <QTest>

class TestCore : public QObject {
    Q_OBJECT
private slots:
    void everyByteSurvivesTheCodePage();
    void lineEnds_data();
    void lineEnds();
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

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
