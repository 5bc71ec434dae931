// The console in the real window: the trim bound, line ends on screen, Clear, keys typed into
// it, line times under a clock the test moves, and the command buffer driven through its keys
// and panel (what was sent is read back from Terminal.log).
#include "link/UdpPeer.h"

#include "console/BufferPanel.h"
#include "console/ConsoleMenu.h"
#include "console/ConsoleModel.h"
#include "console/ConsoleView.h"
#include "console/Router.h"
#include "core/TerminalState.h"
#include "form/ClickLabel.h"

#include <QAction>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextDocument>
#include <ctime>
#include <functional>

namespace {
void setClock(TerminalWindow& w, qint64& ms) {
    ms = 1000;
    w.console().setClock([&ms] { return ms; });
}

// The console as the widget shows it when drawn anew from the model: showing or hiding the times
// and back redraws everything.
QString drawnAnew(TerminalWindow& w) {
    const bool stamps = w.console().showsStamps();
    w.consoleMenu().showStamps(!stamps);
    w.consoleView().sync();
    w.consoleMenu().showStamps(stamps);
    w.consoleView().sync();
    return w.consoleEdit->toPlainText();
}

// The console with the clock set, the times shown or not, and `text` received and drawn.
void showReceived(TerminalWindow& w, qint64& now, bool stamps, const QByteArray& text) {
    setClock(w, now);
    w.consoleMenu().showStamps(stamps);
    w.router().routeBoardText(text);
    w.consoleView().sync();
}

// Counts the paint events a widget gets while `when` holds.
struct PaintCount : QObject {
    PaintCount(QWidget* widget, std::function<bool()> when) : when_(std::move(when)) {
        widget->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::Paint && when_();
        return false;
    }
    int count = 0;

private:
    std::function<bool()> when_;
};

QByteArrayList slotsOf(TerminalWindow& w) {
    QByteArrayList out(w.state().commandLines.begin(), w.state().commandLines.end());
    while (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    return out;
}
} // namespace

class TestConsole : public QObject {
    Q_OBJECT
private slots:
    void trimBeforeEachChunk_data();
    void trimBeforeEachChunk();
    void lineEndsOnScreen_data();
    void lineEndsOnScreen();
    void clearKeepsLog();
    void keysGoToCommandLine();
    void initTestCase();
    void linesCarryTheirTimes_data();
    void linesCarryTheirTimes();
    void cutRemovesOnlyTheFront_data();
    void cutRemovesOnlyTheFront();
    void cutBetweenCrAndLf();
    void floodDrawsItsTail_data();
    void floodDrawsItsTail();
    void operatorScript_data();
    void operatorScript();
};

void TestConsole::trimBeforeEachChunk_data() {
    QTest::addColumn<qsizetype>("before");
    QTest::addColumn<bool>("cut");
    QTest::addColumn<bool>("transfer"); // a file receive is running: nothing is appended

    QTest::newRow("48000 kept") << qsizetype(48000) << false << false;
    QTest::newRow("48001 cut") << qsizetype(48001) << true << false;
    QTest::newRow("48001 cut while a transfer runs") << qsizetype(48001) << true << true;
}

void TestConsole::trimBeforeEachChunk() {
    QFETCH(qsizetype, before);
    QFETCH(bool, cut);
    QFETCH(bool, transfer);
    Terminal w;
    const QByteArray old = numberedLines("line ", 8000).left(before);
    w.console().append(old);
    w.consoleView().sync();
    if (transfer) // a transfer that takes the chunk and shows nothing of it
        w.router().toTransfers = [](const QByteArray&, const QString&) {
        };

    const QByteArray chunk("OK\r\n");
    w.router().routeBoardText(chunk);
    const QByteArray kept = cut ? old.right(32768) : old;
    QCOMPARE(w.console().text(), transfer ? kept : kept + chunk);

    w.consoleView().sync(); // the widget catches up with the cut, whatever it showed before
    QCOMPARE(w.consoleEdit->toPlainText(),
             QString::fromLatin1(w.console().text()).replace(QLatin1String("\r\n"), "\n"));
}

void TestConsole::lineEndsOnScreen_data() {
    QTest::addColumn<QByteArrayList>("chunks"); // the view catches up after each one
    QTest::addColumn<QString>("shown");

    QTest::newRow("CR LF, lone CR, lone LF, LF CR, cp1251")
        << QByteArrayList{"A\r\nB\rC\nD\n\r\xCE\xCA"} << QString::fromUtf8("A\nB\nC\nD\n\nОК");
    QTest::newRow("CR, then CR LF split across chunks")
        << QByteArrayList{"A\r", "\r", "\nB"} << "A\n\nB";
}

void TestConsole::lineEndsOnScreen() {
    QFETCH(QByteArrayList, chunks);
    QFETCH(QString, shown);
    Terminal w;
    for (const QByteArray& chunk : chunks) {
        w.router().routeBoardText(chunk);
        w.consoleView().sync();
    }
    QCOMPARE(w.consoleEdit->toPlainText(), shown);
    QCOMPARE(w.console().text(), chunks.join()); // the model keeps the bytes as they came
}

void TestConsole::clearKeepsLog() {
    Terminal w;
    UdpPeer board;
    QVERIFY(connectWindow(w, board.port()));
    QVERIFY(board.sendTo(w, "first\r\n"));
    WAIT_VERIFY(w.console().text().endsWith("first\r\n"));
    w.consoleView().sync();

    w.clearConsoleButton->click();
    w.consoleView().sync();
    QVERIFY(w.consoleEdit->toPlainText().isEmpty());

    // The log was reopened for appending: old content stays, new chunks follow it.
    QVERIFY(board.sendTo(w, "second\r\n"));
    WAIT_COMPARE(w.console().text(), QByteArray("second\r\n"));
    const QByteArray log = w.logged();
    QVERIFY(log.startsWith("START Brenmoor V4.1\r\n") && log.endsWith("first\r\nsecond\r\n"));
}

// A printable key typed into the console lands at the end of the command line, from "!" on.
void TestConsole::keysGoToCommandLine() {
    Terminal w;
    for (const auto& [key, text, passed] : {std::tuple{Qt::Key_Exclam, QStringLiteral("!"), true},
                                            {Qt::Key_Space, QStringLiteral(" "), false},
                                            {Qt::Key_Return, QStringLiteral("\r"), false},
                                            {Qt::Key_unknown, QStringLiteral("Ж"), true}}) {
        w.commandEdit->setText(QStringLiteral("PRINT"));
        w.commandEdit->setCursorPosition(0);
        w.consoleEdit->setFocus();
        QTest::sendKeyEvent(QTest::Click, w.consoleEdit, key, text, Qt::NoModifier);
        const QString line = passed ? "PRINT" + text : QStringLiteral("PRINT");
        QCOMPARE(w.commandEdit->text(), line);
        QCOMPARE(w.focusWidget(), w.commandEdit);
        QCOMPARE(w.commandEdit->cursorPosition(), line.size());
    }
}

void TestConsole::initTestCase() {
    qputenv("TZ", "UTC");
    tzset();
}

void TestConsole::linesCarryTheirTimes_data() {
    QTest::addColumn<QString>("typed");          // a line sent first, at 00:00:01.000; empty: none
    QTest::addColumn<QByteArrayList>("replies"); // each 12 ms after the one before
    QTest::addColumn<QString>("shown");

    QTest::newRow("a line cut in two keeps the time of its first byte")
        << "LIST" << QByteArrayList{"10 PR", "INT 1\r\n20 END\r\n"}
        << "\n00:00:01.000 LIST\n00:00:01.012 +12 ms 10 PRINT 1\n00:00:01.024 +24 ms 20 END\n";
    QTest::newRow("no line sent: the time alone; CR LF cut between its bytes ends one line")
        << QString() << QByteArrayList{"A\r", "\nB\r\n"} << "00:00:01.012 A\n00:00:01.024 B\n";
    QTest::newRow("lone LF and CR, empty lines, a chunk of line ends only")
        << QString() << QByteArrayList{"A\n\nB\rC", "D\r\r\n", "\n", "E"}
        << "00:00:01.012 A\n\n00:00:01.012 B\n00:00:01.012 CD\n\n\n00:00:01.048 E";
}

void TestConsole::linesCarryTheirTimes() {
    QFETCH(QString, typed);
    QFETCH(QByteArrayList, replies);
    QFETCH(QString, shown);
    Terminal w;
    qint64 now;
    setClock(w, now);
    w.showTimestampsAction->trigger(); // the choice is remembered
    QVERIFY(readFile(Settings::FileName).contains("timestamps=1\r\n"));
    w.commandEdit->clear();
    if (!typed.isEmpty())
        typeLine(w.commandEdit, typed);
    for (const QByteArray& reply : replies) {
        now += 12;
        w.router().routeBoardText(reply);
    }
    w.consoleView().sync();
    QCOMPARE(w.consoleEdit->toPlainText(), shown);

    w.showTimestampsAction->trigger();
    w.consoleView().sync();
    QVERIFY(!w.consoleEdit->toPlainText().contains(QStringLiteral("00:00:01")));
}

void TestConsole::cutRemovesOnlyTheFront_data() {
    QTest::addColumn<QByteArray>("lineEnd");
    QTest::newRow("with times, CR LF") << QByteArray("\r\n");
    QTest::newRow("with times, lone CR") << QByteArray("\r");
}

void TestConsole::cutRemovesOnlyTheFront() {
    QFETCH(QByteArray, lineEnd);
    Terminal w;
    qint64 now;
    showReceived(w, now, true, numberedLines("", 2000, 0, lineEnd));

    // Past the bound: the next chunk cuts the front, and the widget loses just that part.
    QList<QPair<int, int>> changes; // position, characters added
    QObject::connect(w.consoleEdit->document(), &QTextDocument::contentsChange,
                     [&](int position, int, int added) {
                         changes.append({position, added});
                     });
    for (int i = 0; i < 2000 && w.console().firstOffset() == 0; ++i) {
        now += 7;
        w.router().routeBoardText(numberedLines("", 40, 0, lineEnd));
    }
    QVERIFY(w.console().shownSize() <= ConsoleModel::TrimTo + 40 * 30);
    w.consoleView().sync();
    QVERIFY(!changes.isEmpty() &&
            changes.first() == qMakePair(0, 0)); // a removal at the front, nothing redrawn

    // What the widget kept equals the model's text drawn anew.
    const QString kept = w.consoleEdit->toPlainText();
    QCOMPARE(kept, drawnAnew(w));
}

// The first cut ends between a CR and its LF: the LF that begins the next cut shows as nothing of
// its own, so the widget must lose one character less than the bytes cut.
void TestConsole::cutBetweenCrAndLf() {
    Terminal w;
    const qsizetype firstCut = ConsoleModel::TrimAbove + 1 - ConsoleModel::TrimTo;
    QByteArray text(ConsoleModel::TrimAbove + 1, 'a');
    for (qsizetype i = 50; i < text.size(); i += 100)
        text.replace(i, 2, "\r\n");
    text.replace(firstCut - 1, 2, "\r\n");
    for (const QByteArray& chunk :
         {text, QByteArray("b"), QByteArray(16000, 'c'), QByteArray("d")}) {
        w.router().routeBoardText(chunk);
        w.consoleView().sync();
    }
    QCOMPARE(w.console().firstOffset(), firstCut + 16001);
    const QString kept = w.consoleEdit->toPlainText();
    QCOMPARE(kept, drawnAnew(w));
}

void TestConsole::floodDrawsItsTail_data() {
    QTest::addColumn<bool>("stamps");
    QTest::addColumn<QByteArray>("lineEnd");
    QTest::newRow("CR LF") << false << QByteArray("\r\n");
    QTest::newRow("with times, lone CR") << true << QByteArray("\r");
}

// A chunk that cuts away all the console showed is drawn by the next catch-up as its tail only,
// from a line start, and the scroll bar is left unpainted; the catch-up after the flood draws
// everything again and paints the bar, also when nothing more arrives, and still shows the end.
void TestConsole::floodDrawsItsTail() {
    QFETCH(bool, stamps);
    QFETCH(QByteArray, lineEnd);
    Terminal w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    qint64 now;
    showReceived(w, now, stamps, numberedLines("before ", 100, 0, lineEnd));
    // The flood's last line shown: as part of a tail, or of all the console keeps.
    const auto lastShown = [&w](bool whole) {
        return w.consoleEdit->toPlainText().contains(QStringLiteral("line 5999")) &&
               (w.consoleEdit->document()->characterCount() > ConsoleModel::TrimTo / 2) == whole;
    };
    QWidget* bar = w.consoleEdit->verticalScrollBar();
    PaintCount tailPainted(w.consoleEdit->viewport(), [&] { return lastShown(false); });
    PaintCount barWithTail(bar, [&] { return lastShown(false); });
    PaintCount barWithWhole(bar, [&] { return lastShown(true); });

    for (int first = 0; first < 6000; first += 600) // the bound cuts before each chunk
        w.router().routeBoardText(
            numberedLines("a flood of longer lines, line ", 600, first, lineEnd));
    QTRY_VERIFY(tailPainted.count > 0);
    const QString tail = w.consoleEdit->toPlainText();
    QCOMPARE(barWithTail.count, 0);

    QTRY_VERIFY(barWithWhole.count > 0);
    QTextCursor lastLine = w.consoleEdit->document()->find(QStringLiteral("line 5999"));
    QVERIFY(w.consoleEdit->viewport()->rect().contains(w.consoleEdit->cursorRect(lastLine)));
    const QString whole = w.consoleEdit->toPlainText();
    QCOMPARE(whole, drawnAnew(w));
    QVERIFY(tail.size() < whole.size() / 2);
    const qsizetype tailAt = whole.lastIndexOf(tail);
    QVERIFY(tailAt > 0 && whole[tailAt - 1] == u'\n' && tail.endsWith(u"line 5999\n"));
}

void TestConsole::operatorScript_data() {
    QTest::addColumn<QByteArrayList>("initial");
    // Steps by "|": t:TEXT types, v:TEXT pastes, U/D arrows, K Backspace, E Enter, A the ADD
    // button, c:N clicks label N, x:N delete button N, C buffer Clear, =TEXT checks the line.
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
    QTest::newRow("ADD after recall changes nothing but lets Enter store")
        << abc << "U|U|A|=B|E" << QByteArrayList{"B", "A", "C"} << QByteArray("B\r\n");
    QTest::newRow("delete slots 63 and 0") << full << "x:63|x:0" << full.mid(1, 62) << QByteArray();
    QTest::newRow("label click appends and is not stored again")
        << abc << "t:PRINT |c:1|=PRINT B|E" << abc << QByteArray("PRINT B\r\n");
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

void TestConsole::operatorScript() {
    QFETCH(QByteArrayList, initial);
    QFETCH(QString, script);
    QFETCH(QByteArrayList, buffer);
    QFETCH(QByteArray, sent);
    Terminal w;
    for (qsizetype i = 0; i < initial.size(); ++i)
        w.state().commandLines[i] = initial[i];
    w.bufferPanel().showBuffer();
    w.commandEdit->clear();
    const qsizetype logBefore = w.logged().size();

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
    QCOMPARE(w.logged().mid(logBefore), sent);
}

QTEST_MAIN(TestConsole)
#include "tst_console.moc"
