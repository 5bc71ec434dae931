// The ground floor's byte rules: the code page both ways and where lines end.
#include "core/Cp1251.h"
#include "core/LineEnds.h"

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
    QByteArray all(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b)
        all[b] = char(b);
    const QString text = Cp1251::toText(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(Cp1251::toBytes(text).toHex(), all.toHex());
    QCOMPARE(text.at(0xC0), QChar(0x0410)); // А
    QCOMPARE(text.at(0xFF), QChar(0x044F)); // я
    QCOMPARE(text.at(0xB8), QChar(0x0451)); // ё
    QCOMPARE(Cp1251::toBytes(QStringLiteral("\u20AC\u4E2D")), QByteArray("\x88?"));
}

void TestCore::lineEnds_data() {
    QTest::addColumn<QByteArrayList>("pieces"); // fed one after another
    QTest::addColumn<int>("limit");
    QTest::addColumn<QByteArrayList>("lines");
    QTest::newRow("CR LF") << QByteArrayList{"A\r\nB\r\n"} << -1 << QByteArrayList{"A", "B"};
    QTest::newRow("lone CR and LF")
        << QByteArrayList{"A\rB\nC"} << -1 << QByteArrayList{"A", "B", "C"};
    QTest::newRow("LF CR is two ends")
        << QByteArrayList{"A\n\rB"} << -1 << QByteArrayList{"A", "", "B"};
    QTest::newRow("CR LF split across pieces")
        << QByteArrayList{"A\r", "\nB\r", "", "\n"} << -1 << QByteArrayList{"A", "B"};
    QTest::newRow("CR, text, LF") << QByteArrayList{"A\r", "B\n"} << -1 << QByteArrayList{"A", "B"};
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
