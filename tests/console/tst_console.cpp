// The console in the real window: where the router puts chunks, the trim bound, line ends on
// screen, the Clear button and keys typed into the console.
#include "link/UdpPeer.h"

#include "console/ConsoleModel.h"
#include "console/ConsoleView.h"
#include "console/Router.h"
#include "core/TerminalState.h"

#include <QPlainTextEdit>

class TestConsole : public QObject {
    Q_OBJECT
private slots:
    void trimBeforeEachChunk_data();
    void trimBeforeEachChunk();
    void lineEndsOnScreen_data();
    void lineEndsOnScreen();
    void clearKeepsLog();
    void keysGoToCommandLine_data();
    void keysGoToCommandLine();
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
    // Short lines, so the widget has many blocks like a real session.
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

    // The widget shows the same text after catching up, whatever it showed before.
    w.consoleView().sync();
    QString shown = QString::fromLatin1(w.console().text());
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QCOMPARE(w.consoleEdit->toPlainText(), shown);
}

void TestConsole::lineEndsOnScreen_data() {
    QTest::addColumn<QByteArrayList>("chunks"); // the view catches up after each one
    QTest::addColumn<QString>("shown");

    QTest::newRow("CR LF, lone CR, lone LF, LF CR")
        << QByteArrayList{"A\r\nB\rC\nD\n\rE"} << "A\nB\nC\nD\n\nE";
    QTest::newRow("CR LF split across chunks") << QByteArrayList{"A\r", "\nB"} << "A\nB";
    QTest::newRow("CR then CR LF across chunks") << QByteArrayList{"A\r", "\r\nB"} << "A\n\nB";
    QTest::newRow("cp1251") << QByteArrayList{"\xCE\xCA"} << QString::fromUtf8("ОК");
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
    QVERIFY(w.console().text().isEmpty());
    w.consoleView().sync();
    QVERIFY(w.consoleEdit->toPlainText().isEmpty());

    // The log was reopened for appending: old content stays, new chunks follow it.
    QVERIFY(board.sendTo(w, "second\r\n"));
    WAIT_COMPARE(w.console().text(), QByteArray("second\r\n"));
    const QByteArray log = readFile(QStringLiteral("Terminal.log"));
    QVERIFY(log.startsWith("START Brenmoor V4.1\r\n"));
    QVERIFY(log.endsWith("first\r\nsecond\r\n"));
}

void TestConsole::keysGoToCommandLine_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("passed"); // the text lands after "PRINT" in the command line

    QTest::newRow("letter") << int(Qt::Key_A) << "a" << true;
    QTest::newRow("! is the first printable") << int(Qt::Key_Exclam) << "!" << true;
    QTest::newRow("space is not passed") << int(Qt::Key_Space) << " " << false;
    QTest::newRow("Enter is not passed") << int(Qt::Key_Return) << "\r" << false;
    QTest::newRow("cyrillic") << int(Qt::Key_unknown) << QString::fromUtf8("Ж") << true;
}

void TestConsole::keysGoToCommandLine() {
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(bool, passed);
    Terminal w;
    w.commandEdit->setText(QStringLiteral("PRINT"));
    w.commandEdit->setCursorPosition(0);
    w.consoleEdit->setFocus();
    QTest::sendKeyEvent(QTest::Click, w.consoleEdit, Qt::Key(key), text, Qt::NoModifier);
    const QString line = passed ? "PRINT" + text : QStringLiteral("PRINT");
    QCOMPARE(w.commandEdit->text(), line);
    QCOMPARE(w.focusWidget(), w.commandEdit);
    QCOMPARE(w.commandEdit->cursorPosition(), line.size());
}

QTEST_MAIN(TestConsole)
#include "tst_console.moc"
