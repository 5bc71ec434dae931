// Start-up and shut-down: the three files the terminal keeps in its working directory.
#include "TestSupport.h"
#include "app/Startup.h"
#include "form/ClickLabel.h"
#include "link/UdpPeer.h"

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void twoRunsKeep64LinesAndTheLog();
    void filesRead_data();
    void filesRead();
};

// Two runs: command.ini keeps its first 64 lines; each start appends banner and date to the log.
void TestStartup::twoRunsKeep64LinesAndTheLog() {
    WorkDir dir;
    const QByteArray content = numberedLines("line ", 70, 1);
    QVERIFY(writeFile("command.ini", content) && writeFile("Terminal.log", "earlier content"));
    for (int run = 0; run < 2; ++run) {
        ScriptedDialogs dialogs;
        TerminalWindow w(&dialogs);
        QCOMPARE(w.state().commandLines[63], QByteArray("line 64"));
        QCOMPARE(w.bufferLabels[63]->text(), QString("line 64"));
        w.close();
    }
    QCOMPARE(readFile("command.ini"), content.left(content.indexOf("line 65")));
    const QList<QByteArray> lines = readFile("Terminal.log").split('\n');
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[0], QByteArray("earlier contentSTART Brenmoor V4.1\r"));
    QCOMPARE(lines[2], QByteArray("START Brenmoor V4.1\r"));
    QVERIFY(lines[1].endsWith('\r') && lines[1].size() > 5);
}

// Whatever the ini files hold, the window opens; a label shows 15 characters, its tooltip all.
void TestStartup::filesRead_data() {
    QTest::addColumn<QByteArray>("commandIni"); // null: no file
    QTest::addColumn<QByteArray>("slot0");
    QTest::addColumn<QString>("shown");          // null: the slot's bytes as Latin-1
    QTest::addColumn<QByteArray>("terminalIni"); // null: no file
    QTest::addColumn<QStringList>("hosts");
    const QStringList fallback{Startup::DefaultBoardAddress};
    QTest::newRow("NUL bytes kept; comma on the second line")
        << QByteArray("A\0B\r\nC\r\n", 8) << QByteArray("A\0B", 3) << QString()
        << QByteArray("10.0.0.1\r\n10.0.0.2,10.0.0.3\r\n")
        << QStringList{"10.0.0.1", "10.0.0.2", "10.0.0.3"};
    QTest::newRow("megabyte line; quotes removed")
        << QByteArray(1 << 20, 'x') + "\r\nNEXT\r\n"
        << QByteArray(1 << 20, 'x') << QString() << QByteArray("\"10.0.0.7\",\"10.0.0.8\"\n")
        << QStringList{"10.0.0.7", "10.0.0.8"};
    QTest::newRow("lone CR and LF end lines; empty file")
        << QByteArray("A\rB\nC") << QByteArray("A") << "A" << QByteArray("") << fallback;
    const QByteArray cp1251("\xCF\xD0\xC8\xC2\xC5\xD2 \xCC\xC8\xD0 1234567");
    QTest::newRow("Windows-1251; only empty items")
        << cp1251 << cp1251 << QString::fromUtf8("ПРИВЕТ МИР 1234567")
        << QByteArray(",\"\",,\r\n\"\r\n\r\n,") << fallback;
    QTest::newRow("empty file; binary") << QByteArray("") << QByteArray() << ""
                                        << QByteArray("\x01\x02\xff\x00\x10\r\nabc", 9) << fallback;
    QTest::newRow("no files") << QByteArray() << QByteArray() << "" << QByteArray() << fallback;
}

void TestStartup::filesRead() {
    QFETCH(QByteArray, commandIni);
    QFETCH(QByteArray, slot0);
    QFETCH(QString, shown);
    QFETCH(QByteArray, terminalIni);
    QFETCH(QStringList, hosts);
    WorkDir dir;
    QVERIFY(commandIni.isNull() || writeFile("command.ini", commandIni));
    QVERIFY(terminalIni.isNull() || writeFile("terminal.ini", terminalIni));
    ScriptedDialogs dialogs;
    TerminalWindow w(&dialogs);
    QCOMPARE(w.state().commandLines[0], slot0);
    if (shown.isNull())
        shown = QString::fromLatin1(slot0);
    QCOMPARE(w.bufferLabels[0]->text(), shown.left(15));
    QCOMPARE(w.bufferLabels[0]->toolTip(), shown);
    QCOMPARE(hostEntries(w), hosts);
    QCOMPARE(w.hostCombo->currentText(), hosts.first());
    QVERIFY(dialogs.errors.isEmpty());
    if (commandIni.isNull()) // a missing file is created at once with 64 empty lines
        QCOMPARE(readFile("command.ini"), QByteArray("\r\n").repeated(64));
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
