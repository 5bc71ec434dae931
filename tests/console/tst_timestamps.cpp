// The console's line times: the stamps a scripted board's lines get under a clock the test
// moves, the trim bound counting them, and the view removing only what was cut.
#include "TestSupport.h"

#include "console/ConsoleMenu.h"
#include "console/ConsoleModel.h"
#include "console/ConsoleView.h"
#include "console/Router.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <ctime>

namespace {
// A clock the test moves, at 00:00:01.000 UTC to start with.
void setClock(TerminalWindow& w, qint64& ms) {
    ms = 1000;
    w.console().setClock([&ms] { return ms; });
}
} // namespace

class TestTimestamps : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void linesCarryTheirTimes_data();
    void linesCarryTheirTimes();
    void cutRemovesOnlyTheFront_data();
    void cutRemovesOnlyTheFront();
    void choiceIsRemembered();
};

void TestTimestamps::initTestCase() {
    qputenv("TZ", "UTC");
    tzset();
}

void TestTimestamps::linesCarryTheirTimes_data() {
    QTest::addColumn<QString>("typed");          // a line sent first, at 00:00:01.000; empty: none
    QTest::addColumn<QByteArrayList>("replies"); // each 12 ms after the one before
    QTest::addColumn<QString>("shown");

    QTest::newRow("reply lines after a line sent")
        << "PRINT 1" << QByteArrayList{"1\r\nOK\r\n"}
        << "\n00:00:01.000 PRINT 1\n00:00:01.012 +12 ms 1\n00:00:01.012 +12 ms OK\n";
    QTest::newRow("a line cut in two keeps the time of its first byte")
        << "LIST" << QByteArrayList{"10 PR", "INT 1\r\n20 END\r\n"}
        << "\n00:00:01.000 LIST\n00:00:01.012 +12 ms 10 PRINT 1\n00:00:01.024 +24 ms 20 END\n";
    QTest::newRow("no line sent: the time alone; CR LF cut between its bytes ends one line")
        << QString() << QByteArrayList{"A\r", "\nB\r\n"} << "00:00:01.012 A\n00:00:01.024 B\n";
}

void TestTimestamps::linesCarryTheirTimes() {
    QFETCH(QString, typed);
    QFETCH(QByteArrayList, replies);
    QFETCH(QString, shown);
    Terminal w;
    qint64 now;
    setClock(w, now);
    w.consoleMenu().showStamps(true);
    w.commandEdit->clear();
    if (!typed.isEmpty())
        typeLine(w.commandEdit, typed);
    for (const QByteArray& reply : replies) {
        now += 12;
        w.router().routeBoardText(reply);
    }
    w.consoleView().sync();
    QCOMPARE(w.consoleEdit->toPlainText(), shown);

    // The bytes stay as they came; hiding the times shows them as before.
    QVERIFY(w.console().text().endsWith(replies.join()));
    w.showTimestampsAction->trigger();
    w.consoleView().sync();
    QVERIFY(!w.consoleEdit->toPlainText().contains(QStringLiteral("00:00:01")));
}

void TestTimestamps::cutRemovesOnlyTheFront_data() {
    QTest::addColumn<bool>("stamps");
    QTest::addColumn<QByteArray>("lineEnd");

    QTest::newRow("bytes only") << false << QByteArray("\r\n");
    QTest::newRow("with times, CR LF") << true << QByteArray("\r\n");
    QTest::newRow("with times, lone CR") << true << QByteArray("\r");
    QTest::newRow("with times, lone LF") << true << QByteArray("\n");
}

void TestTimestamps::cutRemovesOnlyTheFront() {
    QFETCH(bool, stamps);
    QFETCH(QByteArray, lineEnd);
    Terminal w;
    qint64 now;
    setClock(w, now);
    w.consoleMenu().showStamps(stamps);
    w.router().routeBoardText(numberedLines("", 2000, 0, lineEnd));
    w.consoleView().sync();

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
    QVERIFY(w.console().firstOffset() > 0);
    QVERIFY(w.console().shownSize() <= ConsoleModel::TrimTo + 40 * 30);
    w.consoleView().sync();
    QVERIFY(!changes.isEmpty());
    QCOMPARE(changes.first(), qMakePair(0, 0)); // a removal at the front, nothing redrawn

    // What the widget kept equals the model's text drawn anew.
    const QString kept = w.consoleEdit->toPlainText();
    w.consoleMenu().showStamps(!stamps);
    w.consoleView().sync();
    w.consoleMenu().showStamps(stamps);
    w.consoleView().sync();
    QCOMPARE(kept, w.consoleEdit->toPlainText());
}

void TestTimestamps::choiceIsRemembered() {
    Terminal w;
    w.showTimestampsAction->trigger();
    QVERIFY(w.console().showsStamps());
    QVERIFY(Settings::read().showTimestamps);
    QVERIFY(readFile(Settings::FileName).contains("timestamps=1\r\n"));
}

QTEST_MAIN(TestTimestamps)
#include "tst_timestamps.moc"
