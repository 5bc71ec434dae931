// An output box under a flood of chunks: after every catch-up it shows exactly the model's text
// (line ends and the stand-in for NUL as everywhere, a CR LF pair cut by the model's trim or by
// the chunks still one line end), and it gets there by removing at its front (or emptying the
// box when all it showed was cut) and adding at its end only, never by drawing the whole text
// again; nor does it keep undo steps, which would grow without end.
#include "core/ShownText.h"
#include "modbus/BoundedText.h"
#include "modbus/BoundedTextView.h"

#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QTest>
#include <QTextDocument>

class TestBoundedTextView : public QObject {
    Q_OBJECT
private slots:
    void followsTheModel_data();
    void followsTheModel();
};

void TestBoundedTextView::followsTheModel_data() {
    QTest::addColumn<qsizetype>("above");
    QTest::addColumn<qsizetype>("to");
    QTest::addColumn<int>("longestChunk");
    QTest::addColumn<int>("rounds");
    QTest::newRow("hex monitor, small chunks")
        << qsizetype(16000) << qsizetype(12000) << 300 << 300;
    QTest::newRow("hex monitor, chunks past the whole box")
        << qsizetype(16000) << qsizetype(12000) << 40000 << 300;
    QTest::newRow("tiny box, cut at every chunk") << qsizetype(40) << qsizetype(25) << 30 << 300;
    // Cuts of far more lines than are taken out one by one: the box is emptied and refilled.
    QTest::newRow("parser-sized box") << qsizetype(400'000) << qsizetype(300'000) << 90000 << 12;
}

void TestBoundedTextView::followsTheModel() {
    QFETCH(qsizetype, above);
    QFETCH(qsizetype, to);
    QFETCH(int, longestChunk);
    QFETCH(int, rounds);
    BoundedText model(above, to);
    QPlainTextEdit edit;
    BoundedTextView view(model, &edit);

    // Every change the box sees: where, how much went, how much came, the length after it.
    struct Change {
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
                     qPrintable(QStringLiteral("round %1: change at %2, -%3 +%4, length %5")
                                    .arg(round)
                                    .arg(c.at)
                                    .arg(c.removed)
                                    .arg(c.added)
                                    .arg(c.length)));
        }
    }
}

QTEST_MAIN(TestBoundedTextView)
#include "tst_boundedtextview.moc"
