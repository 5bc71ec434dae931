// The text the hex monitor and the parser keep, trimmed at its front past a ceiling, and the box
// that shows it: after every catch-up the box shows exactly the model's text, and gets there by
// removing at its front (or emptying) and adding at its end only, never drawing it all again.
#include "TestFiles.h"
#include "core/ShownText.h"
#include "modbus/BoundedText.h"
#include "modbus/BoundedTextView.h"

#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QTest>
#include <QTextDocument>

class TestBoundedText : public QObject {
    Q_OBJECT
private slots:
    void trim_data();
    void trim();
    void viewFollowsTheModel_data();
    void viewFollowsTheModel();
};

void TestBoundedText::trim_data() {
    QTest::addColumn<int>("above");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("added");
    QTest::addColumn<int>("after");

    const int hexAbove = BoundedText::HexTrimAbove, hexTo = BoundedText::HexTrimTo;
    QTest::newRow("reaches 16000") << hexAbove << hexTo << 15990 << 10 << 16000;
    QTest::newRow("one past 16000") << hexAbove << hexTo << 16000 << 1 << 12000;
    QTest::newRow("chunk longer than what is kept")
        << hexAbove << hexTo << 5000 << 65507 * 3 << 12000;
    QTest::newRow("chunk just shorter than what is kept")
        << hexAbove << hexTo << 10000 << 11999 << 12000;
}

void TestBoundedText::trim() {
    QFETCH(int, above);
    QFETCH(int, to);
    QFETCH(int, before);
    QFETCH(int, added);
    QFETCH(int, after);

    BoundedText box(above, to);
    // Numbered lines: a cut in the wrong place shows.
    const QByteArray all = numberedLines("", 40000).left(before + added);
    box.append(all.left(before));
    box.append(all.mid(before));
    QCOMPARE(box.size(), qsizetype(after));
    QCOMPARE(box.text(), all.right(after));
    // A view takes from its front what was cut, and needs the byte before the new front.
    QCOMPARE(box.cutBytes(), qint64(all.size() - after));
    QCOMPARE(box.lastCutByte(), after < all.size() ? all.at(all.size() - after - 1) : char(0));
}

void TestBoundedText::viewFollowsTheModel_data() {
    QTest::addColumn<int>("above");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("longestChunk");
    QTest::addColumn<int>("rounds");
    QTest::newRow("hex monitor, chunks past the whole box") << 16000 << 12000 << 40000 << 300;
    QTest::newRow("tiny box, cut at every chunk") << 40 << 25 << 30 << 300;
    // Cuts of far more lines than are taken out one by one: the box is emptied and refilled.
    QTest::newRow("parser-sized box") << 400'000 << 300'000 << 90000 << 12;
}

// Line ends and the stand-in for NUL as everywhere, a CR LF pair cut by the trim or by the
// chunks still one line end; no undo steps, which would grow without end.
void TestBoundedText::viewFollowsTheModel() {
    QFETCH(int, above);
    QFETCH(int, to);
    QFETCH(int, longestChunk);
    QFETCH(int, rounds);
    BoundedText model(above, to);
    QPlainTextEdit edit;
    BoundedTextView view(model, &edit);

    struct Change { // where, how much went, how much came, the length after it
        int at, removed, added, length;
    };
    QList<Change> changes;
    connect(edit.document(), &QTextDocument::contentsChange, this,
            [&](int at, int removed, int added) {
                changes.append({at, removed, added, edit.document()->characterCount() - 1});
            });

    QRandomGenerator random(7);
    const QByteArray alphabet("ab\r\n\r\n\0\xc0 ", 10);
    for (int round = 0; round < rounds; ++round) {
        for (int n = random.bounded(1, 4); n > 0; --n) {
            QByteArray chunk(random.bounded(1, longestChunk), Qt::Uninitialized);
            for (char& c : chunk)
                c = alphabet.at(random.bounded(int(alphabet.size())));
            model.append(chunk);
        }
        changes.clear();
        view.sync();

        LineEnds ends;
        if (model.lastCutByte() == '\r')
            ends.scan(
                "\r", [](QByteArrayView) {}, [] {});
        QCOMPARE(edit.toPlainText(), shownText(model.text(), ends));
        QVERIFY(!edit.document()->isUndoAvailable());
        for (const Change& c : changes) {
            // Text comes only at the end, into a box that lost nothing in the same step (an
            // emptied box reports one odd change of its own).
            const bool added = c.added > 0 && !(c.removed == 0 && c.length == 0);
            QVERIFY2(!added || (c.removed == 0 && c.at + c.added == c.length),
                     qPrintable(QStringLiteral("round %1, at %2").arg(round).arg(c.at)));
        }
    }
}

QTEST_MAIN(TestBoundedText)
#include "tst_boundedtext.moc"
