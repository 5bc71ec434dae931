// The command buffer driven through the command line's keys and the buffer panel, as the
// operator uses them. What was "sent" is read back from Terminal.log.
#include "TestSupport.h"

#include "console/BufferPanel.h"
#include "core/TerminalState.h"
#include "form/ClickLabel.h"

#include <QClipboard>

namespace {
// The slots in order, trailing empty slots left out.
QByteArrayList slotsOf(TerminalWindow& w) {
    QByteArrayList out(w.state().commandLines.begin(), w.state().commandLines.end());
    while (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    return out;
}
} // namespace

class TestCommandBuffer : public QObject {
    Q_OBJECT
private slots:
    void operatorScript_data();
    void operatorScript();
};

void TestCommandBuffer::operatorScript_data() {
    QTest::addColumn<QByteArrayList>("initial");
    // Steps separated by "|": t:TEXT types, v:TEXT pastes, U/D arrows, K Backspace, E Enter, A the
    // ADD button, c:N a click on label N, x:N delete button N, C buffer Clear, =TEXT checks the
    // line.
    QTest::addColumn<QString>("script");
    QTest::addColumn<QByteArrayList>("buffer");
    QTest::addColumn<QByteArray>("sent"); // what reached the log meanwhile

    const QByteArrayList abc{"A", "B", "C"};
    const QByteArrayList full = numberedLines("L", 64, 0, "\n").chopped(1).split('\n');
    QByteArrayList l10 = full;
    l10.move(10, 0);
    QTest::newRow("new line drops the oldest of a full buffer")
        << full << "t:NEW|E" << QByteArrayList{"NEW"} + full.mid(0, 63) << QByteArray("NEW\r\n");
    QTest::newRow("line from a full buffer moves without loss")
        << full << "t:L10|E" << l10 << QByteArray("L10\r\n");
    QTest::newRow("Up steps and stops, Down comes back and stays")
        << abc << "U|=A|U|=B|U|=C|U|=C|D|=B|D|=A|D|=A" << abc << QByteArray();
    QTest::newRow("empty buffer: arrows leave the line empty, Down empties a typed one")
        << QByteArrayList{} << "U|=|D|=|U|=|t:X|D|=" << QByteArrayList{} << QByteArray();
    QTest::newRow("typed text: first Up shows slot 1") << abc << "t:X|U|=B" << abc << QByteArray();
    QTest::newRow("Up at the far end of a full buffer stays on slot 63")
        << full << QStringList(64, "U").join('|') + "|=L63|U|=L63|D|=L62" << full << QByteArray();
    QTest::newRow("recall then type stores a new line")
        << abc << "U|U|t:X|E" << QByteArrayList{"BX", "A", "B", "C"} << QByteArray("BX\r\n");
    QTest::newRow("recall then Backspace stores the edit")
        << QByteArrayList{"A", "BQ"} << "U|U|K|E" << QByteArrayList{"B", "A", "BQ"}
        << QByteArray("B\r\n");
    QTest::newRow("recall then Enter stores nothing")
        << abc << "U|U|E|U|=A" << abc << QByteArray("B\r\n");
    QTest::newRow("trailing spaces trimmed")
        << abc << "t:LIST   |E" << QByteArrayList{"LIST", "A", "B", "C"} << QByteArray("LIST\r\n");
    QTest::newRow("spaces only: sent empty, not stored")
        << abc << "t:   |E" << abc << QByteArray("\r\n");
    QTest::newRow("ADD twice gives two equal slots")
        << abc << "t:X|A|A|=X" << QByteArrayList{"X", "X", "A", "B", "C"} << QByteArray();
    QTest::newRow("ADD after recall changes nothing but lets Enter store")
        << abc << "U|U|A|=B|E" << QByteArrayList{"B", "A", "C"} << QByteArray("B\r\n");
    QTest::newRow("delete slots 63 and 0") << full << "x:63|x:0" << full.mid(1, 62) << QByteArray();
    QTest::newRow("label click appends and is not stored again")
        << abc << "t:PRINT |c:1|=PRINT B|E" << abc << QByteArray("PRINT B\r\n");
    QTest::newRow("empty label click still marks the line as recalled")
        << abc << "t:Q|c:5|=Q|E" << abc << QByteArray("Q\r\n");
    QTest::newRow("buffer Clear") << abc << "C" << QByteArrayList{} << QByteArray();
    const QString x70 = QString(60, u'x') + QString(10, u'p');
    QTest::newRow("paste fills up to 70, typing stops there")
        << abc << "t:" + x70.left(60) + "|v:" + QString(20, u'p') + "|=" + x70 + "|t:XYZ|=" + x70
        << abc << QByteArray();
    // A longer line written by the program (a label click) is neither cut nor extended.
    const QByteArray y90(90, 'y'), y89(89, 'y');
    QTest::newRow("program text is not cut")
        << QByteArrayList{y90} << "c:0|t:z|=" + QString(y90) + "|K|E" << QByteArrayList{y89, y90}
        << y89 + "\r\n";
}

void TestCommandBuffer::operatorScript() {
    QFETCH(QByteArrayList, initial);
    QFETCH(QString, script);
    QFETCH(QByteArrayList, buffer);
    QFETCH(QByteArray, sent);
    Terminal w;
    for (qsizetype i = 0; i < initial.size(); ++i)
        w.state().commandLines[i] = initial[i];
    w.bufferPanel().showBuffer();
    w.commandEdit->clear();
    const qsizetype logBefore = readFile(QStringLiteral("Terminal.log")).size();

    const QHash<QString, Qt::Key> keys{
        {"U", Qt::Key_Up}, {"D", Qt::Key_Down}, {"K", Qt::Key_Backspace}, {"E", Qt::Key_Return}};
    for (const QString& step : script.split(QLatin1Char('|'))) {
        const QString arg = step.mid(2);
        if (keys.contains(step))
            QTest::keyClick(w.commandEdit, keys[step]);
        else if (step.startsWith(QLatin1String("t:")))
            typeLine(w.commandEdit, arg, false);
        else if (step.startsWith(QLatin1String("v:"))) {
            QGuiApplication::clipboard()->setText(arg);
            QTest::keyClick(w.commandEdit, Qt::Key_V, Qt::ControlModifier);
        } else if (step == QLatin1String("A"))
            w.addToBufferButton->click();
        else if (step == QLatin1String("C"))
            w.clearBufferButton->click();
        else if (step.startsWith(QLatin1String("c:")))
            QTest::mouseClick(w.bufferLabels[arg.toInt()], Qt::LeftButton);
        else if (step.startsWith(QLatin1String("x:")))
            w.deleteLineButtons[arg.toInt()]->click();
        else if (step.startsWith(QLatin1Char('=')))
            QCOMPARE(w.commandEdit->text(), step.mid(1));
        else
            QFAIL(qPrintable("bad step " + step));
    }
    QCOMPARE(slotsOf(w), buffer);
    QCOMPARE(readFile(QStringLiteral("Terminal.log")).mid(logBefore), sent);
    for (int n = 0; n < 64; ++n)
        QCOMPARE(w.bufferLabels[n]->toolTip().toLatin1(), w.state().commandLines[n]);
}

QTEST_MAIN(TestCommandBuffer)
#include "tst_commandbuffer.moc"
