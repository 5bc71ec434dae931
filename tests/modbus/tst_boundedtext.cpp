#include "modbus/BoundedText.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// Bytes that differ from position to position, so a cut in the wrong place shows.
QByteArray pattern(qsizetype size, int seed) {
    QByteArray out(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        out[i] = char('!' + (i * 7 + seed) % 90);
    return out;
}

} // namespace

class TestBoundedText : public QObject {
    Q_OBJECT
private slots:
    void trim_data();
    void trim();
    void clear();
};

void TestBoundedText::trim_data() {
    QTest::addColumn<qsizetype>("above");
    QTest::addColumn<qsizetype>("to");
    QTest::addColumn<qsizetype>("before");
    QTest::addColumn<qsizetype>("added");
    QTest::addColumn<qsizetype>("after");

    const qsizetype hexAbove = BoundedText::HexTrimAbove;
    const qsizetype hexTo = BoundedText::HexTrimTo;
    QTest::newRow("reaches 16000")
        << hexAbove << hexTo << qsizetype(15990) << qsizetype(10) << qsizetype(16000);
    QTest::newRow("one past 16000")
        << hexAbove << hexTo << qsizetype(16000) << qsizetype(1) << qsizetype(12000);
    QTest::newRow("chunk longer than what is kept")
        << hexAbove << hexTo << qsizetype(5000) << qsizetype(65507 * 3) << qsizetype(12000);
    QTest::newRow("chunk just shorter than what is kept")
        << hexAbove << hexTo << qsizetype(10000) << qsizetype(11999) << qsizetype(12000);
    QTest::newRow("parser box past its ceiling")
        << qsizetype(BoundedText::ParserTrimAbove) << qsizetype(BoundedText::ParserTrimTo)
        << qsizetype(999'990) << qsizetype(11) << qsizetype(750'000);
}

void TestBoundedText::trim() {
    QFETCH(qsizetype, above);
    QFETCH(qsizetype, to);
    QFETCH(qsizetype, before);
    QFETCH(qsizetype, added);
    QFETCH(qsizetype, after);

    BoundedText box(above, to);
    const QByteArray first = pattern(before, 1);
    const QByteArray chunk = pattern(added, 2);
    box.append(first);
    box.append(chunk);

    QCOMPARE(box.size(), after);
    const QByteArray all = first + chunk;
    QCOMPARE(box.text(), all.right(after));
    // A view takes from its front what was cut, and needs the byte before the new front.
    QCOMPARE(box.cutBytes(), all.size() - after);
    QCOMPARE(box.lastCutByte(), after < all.size() ? all.at(all.size() - after - 1) : char(0));
}

void TestBoundedText::clear() {
    BoundedText box(BoundedText::HexTrimAbove, BoundedText::HexTrimTo);
    QSignalSpy changed(&box, &BoundedText::changed);
    box.append("0A 03 \r\n\r\n");
    QCOMPARE(changed.size(), 1);
    const quint64 generation = box.generation();
    box.clear();
    QCOMPARE(box.size(), 0);
    QVERIFY(box.generation() != generation);
    QCOMPARE(changed.size(), 2);
    box.append("FF ");
    QCOMPARE(box.text(), QByteArray("FF "));
}

QTEST_GUILESS_MAIN(TestBoundedText)
#include "tst_boundedtext.moc"
