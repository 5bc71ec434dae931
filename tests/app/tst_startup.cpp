// Start-up and shut-down: the three files the terminal keeps in its working directory.
#include "TestSupport.h"
#include "app/ClickLabel.h"
#include "app/Startup.h"
#include "app/TextProgressBar.h"
#include "app/UDP.h"
#include "console/ConsoleModel.h"
#include "link/SendPath.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QRegularExpression>
#include <QtTest>

namespace {
void writeFile(const QString& name, const QByteArray& content) {
    QFile f(name);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}

QByteArray readFile(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList hosts(const UDP& w) {
    QStringList out;
    for (int i = 0; i < w.ComboRemoteIP->count(); ++i)
        out << w.ComboRemoteIP->itemText(i);
    return out;
}
} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void commandIniLoadsFirst64LinesAndIsRewrittenWith64();
    void missingCommandIniIsCreatedEmpty();
    void longLineShowsFifteenCharactersAndFullTooltip();
    void hostileCommandIniStillOpensTheWindow_data();
    void hostileCommandIniStillOpensTheWindow();
    void terminalIniItems_data();
    void terminalIniItems();
    void everyStartAppendsABanner();
    void unopenableLogShowsErrorAndKeepsRunning();
    void localPortIsUniformOverItsRange();
    void portBoxesAfterStart();
    void progressBarShowsNoFileAndTakesOneAboveMaximum();
};

void TestStartup::commandIniLoadsFirst64LinesAndIsRewrittenWith64() {
    WorkDir dir;
    QByteArray content;
    for (int i = 1; i <= 70; ++i)
        content += "line " + QByteArray::number(i) + "\r\n";
    writeFile("command.ini", content);
    {
        ScriptedDialogs dialogs;
        UDP w(&dialogs);
        QCOMPARE(w.state().CmdBuffer[0], QByteArray("line 1"));
        QCOMPARE(w.state().CmdBuffer[63], QByteArray("line 64"));
        QCOMPARE(w.Label13[63]->text(), QString("line 64"));
        w.close();
    }
    const QList<QByteArray> lines = readFile("command.ini").split('\n');
    QCOMPARE(lines.size(), 65); // 64 CR LF lines and nothing after the last
    QCOMPARE(lines[0], QByteArray("line 1\r"));
    QCOMPARE(lines[63], QByteArray("line 64\r"));
    QVERIFY(lines[64].isEmpty());
}

void TestStartup::missingCommandIniIsCreatedEmpty() {
    WorkDir dir;
    ScriptedDialogs dialogs;
    UDP w(&dialogs);
    QByteArray expected;
    for (int i = 0; i < 64; ++i)
        expected += "\r\n";
    QCOMPARE(readFile("command.ini"), expected);
    for (const QByteArray& slot : w.state().CmdBuffer)
        QVERIFY(slot.isEmpty());
}

void TestStartup::longLineShowsFifteenCharactersAndFullTooltip() {
    WorkDir dir;
    const QByteArray line = "PRINT 1234567890123456789012345678901234";
    QCOMPARE(line.size(), 40);
    writeFile("command.ini", "\r\n" + line + "\r\n");
    ScriptedDialogs dialogs;
    UDP w(&dialogs);
    QCOMPARE(w.Label13[1]->text(), QString::fromLatin1(line.left(15)));
    QCOMPARE(w.Label13[1]->toolTip(), QString::fromLatin1(line));
    QCOMPARE(w.Label13[0]->text(), QString());
}

void TestStartup::hostileCommandIniStillOpensTheWindow_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("slot0");
    QTest::newRow("NUL bytes kept") << QByteArray("A\0B\r\nC\r\n", 8) << QByteArray("A\0B", 3);
    QTest::newRow("megabyte line") << QByteArray(1 << 20, 'x') + "\r\nNEXT\r\n"
                                   << QByteArray(1 << 20, 'x');
    QTest::newRow("lone CR and LF end lines") << QByteArray("A\rB\nC") << QByteArray("A");
    QTest::newRow("empty file") << QByteArray() << QByteArray();
}

void TestStartup::hostileCommandIniStillOpensTheWindow() {
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, slot0);
    WorkDir dir;
    writeFile("command.ini", content);
    ScriptedDialogs dialogs;
    UDP w(&dialogs);
    QCOMPARE(w.state().CmdBuffer[0], slot0);
    QCOMPARE(w.Label13[0]->text().size(), qMin<qsizetype>(slot0.size(), 15));
}

void TestStartup::terminalIniItems_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("expected");
    const QString fallback = Startup::DefaultBoardAddress;
    QTest::newRow("comma on the second line") << QByteArray("10.0.0.1\r\n10.0.0.2,10.0.0.3\r\n")
                                              << QStringList{"10.0.0.1", "10.0.0.2", "10.0.0.3"};
    QTest::newRow("empty line between")
        << QByteArray("10.0.0.1\r\n\r\n10.0.0.2\r\n") << QStringList{"10.0.0.1", "10.0.0.2"};
    QTest::newRow("quotes removed")
        << QByteArray("\"10.0.0.7\",\"10.0.0.8\"\n") << QStringList{"10.0.0.7", "10.0.0.8"};
    QTest::newRow("empty file") << QByteArray() << QStringList{fallback};
    QTest::newRow("only commas and quotes")
        << QByteArray(",\"\",,\r\n\"\r\n,") << QStringList{fallback};
    QTest::newRow("binary") << QByteArray("\x01\x02\xff\x00\x10\r\nabc", 9)
                            << QStringList{fallback};
}

void TestStartup::terminalIniItems() {
    QFETCH(QByteArray, content);
    QFETCH(QStringList, expected);
    WorkDir dir;
    writeFile("terminal.ini", content);
    ScriptedDialogs dialogs;
    UDP w(&dialogs);
    QCOMPARE(hosts(w), expected);
    QCOMPARE(w.ComboRemoteIP->currentText(), expected.first());
    QVERIFY(dialogs.errors.isEmpty());
}

void TestStartup::everyStartAppendsABanner() {
    WorkDir dir;
    writeFile("Terminal.log", "earlier content");
    for (int run = 0; run < 2; ++run) {
        ScriptedDialogs dialogs;
        UDP w(&dialogs);
        w.close();
    }
    const QByteArray log = readFile("Terminal.log");
    QVERIFY(log.startsWith("earlier contentSTART Brenmoor V4.1\r\n"));
    QCOMPARE(log.count("START Brenmoor V4.1\r\n"), 2);
    // The banner is followed by a date-time line of its own.
    const QList<QByteArray> lines = log.split('\n');
    QCOMPARE(lines.size(), 5);
    QVERIFY(lines[1].endsWith('\r') && lines[1].size() > 5);
}

void TestStartup::unopenableLogShowsErrorAndKeepsRunning() {
    WorkDir dir;
    QVERIFY(QDir().mkdir("Terminal.log"));
    ScriptedDialogs dialogs;
    UDP w(&dialogs);
    QCOMPARE(dialogs.errors.size(), 1);
    QVERIFY(!dialogs.errors[0].description.isEmpty());
    QVERIFY(!w.state().LogFileNumber.isOpen());
    // Later writes to the closed log must neither crash nor stop the send path.
    w.tbSendData->setText("PRINT 1");
    w.sendPath().Send_To_Device();
    QCOMPARE(w.console().text(), QByteArray("\r\nPRINT 1"));
    QVERIFY(w.tbSendData->text().isEmpty());
}

void TestStartup::localPortIsUniformOverItsRange() {
    QList<int> counts(1000, 0);
    const QRegularExpression digits("^[0-9]{4}$");
    for (int i = 0; i < 20000; ++i) {
        const QString text = Startup::drawLocalPort();
        QVERIFY2(digits.match(text).hasMatch(), qPrintable(text));
        const int port = text.toInt();
        QVERIFY(port >= 5500 && port <= 6499);
        ++counts[port - 5500];
    }
    QVERIFY(counts.first() > 0 && counts.last() > 0);
    // 20 per port on average; a skewed draw would pile up far beyond this.
    QVERIFY(*std::max_element(counts.begin(), counts.end()) < 60);
}

void TestStartup::portBoxesAfterStart() {
    WorkDir dir;
    ScriptedDialogs dialogs;
    UDP w(&dialogs);
    QCOMPARE(w.tbRemotePort->text(), QString("111"));
    const int port = w.tbLocalPort->text().toInt();
    QVERIFY(port >= 5500 && port <= 6499);
    QCOMPARE(w.tbSendData->text(), QString::fromUtf8("Команды набирать здесь"));
}

void TestStartup::progressBarShowsNoFileAndTakesOneAboveMaximum() {
    WorkDir dir;
    ScriptedDialogs dialogs;
    UDP w(&dialogs);
    QCOMPARE(w.vbalProgressBar1->text(), QString("NO FILE"));
    w.vbalProgressBar1->setMax(10);
    w.vbalProgressBar1->setCurrent(11);
    QCOMPARE(w.vbalProgressBar1->current(), 11);
    w.vbalProgressBar1->setText("50%");
    QCOMPARE(w.vbalProgressBar1->text(), QString("50%"));
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
