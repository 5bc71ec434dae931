// The real brenmoor-cli as scripts use it: exit codes under signals, stdout and stderr, the JSON
// summary, verify, and every example the help text gives (--timestamps among them).
#include "CliProcess.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

const QByteArray Program = "10 PRINT 1\r\n20 PRINT \"A\"\r\n30 PRINT 3\r\n";

// Signals the client once it says it is monitoring (it says so after its link is open).
std::function<bool(QProcess&)> signalWhenMonitoring(int signal) {
    return [signal](QProcess& p) {
        p.setReadChannel(QProcess::StandardError);
        if (!p.peek(4096).contains("monitoring"))
            return true;
        ::kill(pid_t(p.processId()), signal);
        return false;
    };
}

} // namespace

class TestCliScripts : public QObject, CliFixture {
    Q_OBJECT
private slots:
    void init();
    void signalEndsWithItsCode_data();
    void signalEndsWithItsCode();
    void whatGoesWhere_data();
    void whatGoesWhere();
    void jsonSumsTheRunUp_data();
    void jsonSumsTheRunUp();
    void helpExamplesRun();

private:
    CliResult run(const QStringList& args) { return runCli(udp() + args, CliRun{{}, dir->path()}); }
};

void TestCliScripts::init() {
    fresh();
    write("prog.bas", Program);
    write("bad.bas", "10 PRINT 1\r\n20 PRINT \"open\r\n30 PRINT 3\r\n");
    write("same.bas", "010 PRINT 1\n0020 PRINT \"A\"\r30 PRINT 3");
    write("longer.bas", Program + "40 PRINT 4\r\n");
}

// The signal lands just before the board's answer to each step in turn, racing it: the run ends
// with 128 + the signal every time, and a get has closed the board's file, stopped or not.
void TestCliScripts::signalEndsWithItsCode_data() {
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<int>("signal");
    for (const int signal : {SIGINT, SIGTERM}) {
        const char* name = signal == SIGINT ? "SIGINT" : "SIGTERM";
        QTest::addRow("monitor, %s", name) << QStringList{"monitor"} << signal;
        QTest::addRow("get, %s", name) << QStringList{"get", "F.BIN", "f.bin"} << signal;
        QTest::addRow("upload, %s", name) << QStringList{"upload", "prog.bas"} << signal;
    }
}

void TestCliScripts::signalEndsWithItsCode() {
    QFETCH(QStringList, command);
    QFETCH(int, signal);
    write("prog.bas", numberedLines({}, 6, 1, " REM\r\n"));
    // get: FOPEN, READ x4, CLOSE. monitor sends nothing: it repeats a racy run (was 130 or 0).
    for (int step = 1; step <= 6; ++step) {
        ScriptedBoard peer;
        peer.signal = signal;
        peer.signalAt = step;
        int reads = 0;
        peer.answer = [&reads](const QByteArray& line) -> QByteArray {
            if (line.startsWith("READ"))
                return ++reads < 4 ? QByteArray(40, 'A') + "OK\r\n" : QByteArray("ND\r\n");
            return "OK\r\n";
        };
        CliRun how{{}, dir->path(), &peer.clientPid};
        if (command.first() == QLatin1String("monitor"))
            how.whileRunning = signalWhenMonitoring(signal);
        const CliResult r = runCli(peer.link() + QStringList{"--timeout", "30"} + command, how);
        QVERIFY2(r.exitCode == 128 + signal,
                 ("step " + QByteArray::number(step) + ": " + r.err).constData());
        if (command.first() == QLatin1String("get"))
            WAIT_COMPARE(peer.heard.last(), QByteArray("CLOSE\r\n"));
    }
}

// Board text on stdout with LF unless --raw; --quiet leaves stderr empty; a download shows no
// progress before anything came; verify reads the file as upload sends it.
void TestCliScripts::whatGoesWhere_data() {
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err"); // the one line after "brenmoor-cli: ", if any
    QTest::newRow("send") << QStringList{"send", "PRINT 42"} << 0 << QByteArray("42\nOK\n")
                          << QByteArray();
    QTest::newRow("send, raw") << QStringList{"--raw", "send", "PRINT 42"} << 0
                               << QByteArray("42\r\nOK\r\n") << QByteArray();
    QTest::newRow("upload, quiet")
        << QStringList{"--quiet", "upload", "prog.bas"} << 0 << QByteArray() << QByteArray();
    QTest::newRow("download of nothing") << QStringList{"download", "back.bas"} << 0 << QByteArray()
                                         << QByteArray("download: 0 bytes into back.bas");
    QTest::newRow("verify, other line ends and leading zeros")
        << QStringList{"--quiet", "verify", "same.bas"} << 0 << QByteArray() << QByteArray();
    QTest::newRow("verify, the file goes on")
        << QStringList{"--quiet", "verify", "longer.bas"} << 4 << QByteArray()
        << QByteArray("line 4 differs: 40 PRINT 4 in longer.bas, no such line on the board");
}

void TestCliScripts::whatGoesWhere() {
    QFETCH(QStringList, command);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    if (command.contains("verify"))
        QCOMPARE(run({"upload", "prog.bas"}).exitCode, 0);
    const CliResult r = run(command);
    QCOMPARE(r.exitCode, exitCode);
    QCOMPARE(r.out, out);
    QCOMPARE(r.err, err.isEmpty() ? err : "brenmoor-cli: " + err + '\n');
}

// Exactly one JSON object on stdout, whatever the end: the figures, the exit code, the error.
void TestCliScripts::jsonSumsTheRunUp_data() {
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("figures"); // members the object must hold as they are here
    QTest::newRow("status") << QStringList{"status"} << 0
                            << QByteArray(R"({"board":["Program lines: 0","Program bytes: 0",
                                          "Disk files: 0","Disk free: 1048576","OK"]})");
    QTest::newRow("modbus") << QStringList{"modbus", "10", "03", "--addr-param", "0", "--qty", "2"}
                            << 0 << QByteArray(R"({"request":"10 03 00 00 00 02 C7 4A","parsed":
                                          {"address":16,"function":3,"byteCount":4,
                                          "values":[0,0],"crcGood":true}})");
    QTest::newRow("upload refused") << QStringList{"upload", "bad.bas"} << 4
                                    << QByteArray(R"({"lines":3,"accepted":1,"refusedLine":2})");
    QTest::newRow("get, no such file")
        << QStringList{"get", "NONE.BIN", "n.bin"} << 4 << QByteArray(R"({"name":"NONE.BIN"})");
    QTest::newRow("verify, the board holds nothing")
        << QStringList{"verify", "prog.bas"} << 4
        << QByteArray(
               R"({"equal":false,"difference":{"line":1,"file":"10 PRINT 1","board":null}})");
}

void TestCliScripts::jsonSumsTheRunUp() {
    QFETCH(QStringList, command);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, figures);
    const CliResult r = run(QStringList{"--json"} + command);
    QCOMPARE(r.exitCode, exitCode);
    QCOMPARE(r.out.count('\n'), 1);
    const QJsonObject object = QJsonDocument::fromJson(r.out).object();
    QCOMPARE(object.value("command").toString(), command.first());
    QCOMPARE(object.value("exitCode").toInt(-1), exitCode);
    QCOMPARE(object.value("ok").toBool(), exitCode == 0);
    QCOMPARE(object.contains("error"), exitCode != 0);
    const QJsonObject expected = QJsonDocument::fromJson(figures).object();
    QVERIFY(!expected.isEmpty());
    for (auto it = expected.begin(); it != expected.end(); ++it)
        QCOMPARE(object.value(it.key()), it.value());
}

// Every example of --help runs against the simulator, in a folder holding the files they name;
// monitor until Ctrl+C, and a poll once, with a period (its reply's deadline) a busy machine meets.
void TestCliScripts::helpExamplesRun() {
    const CliResult help = runCli({"--help"});
    QCOMPARE(help.exitCode, 0);
    QList<QStringList> examples; // as a shell would split them
    for (const QByteArray& line : help.out.split('\n')) {
        if (line.trimmed().startsWith("brenmoor-cli "))
            examples.append(QProcess::splitCommand(QString::fromUtf8(line.trimmed())).mid(1));
    }
    QVERIFY(examples.size() >= 10);
    write("blink.bas", Program);
    write("data.bin", QByteArray(40, 'x'));
    for (QStringList args : examples) {
        for (qsizetype i = 0; i + 1 < args.size(); ++i) {
            if (args.at(i) == QLatin1String("--udp"))
                args[i + 1] = QStringLiteral("127.0.0.1:%1").arg(board->udpPort());
            else if (args.at(i) == QLatin1String("--serial"))
                args[i + 1] = board->ptyPath() + QStringLiteral(":115200");
            else if (args.at(i) == QLatin1String("--every"))
                args[i + 1] = QStringLiteral("10000");
            else if (args.at(i) == QLatin1String("--count"))
                args[i + 1] = QStringLiteral("1");
        }
        const bool monitor = args.contains(QLatin1String("monitor"));
        const CliResult r =
            runCli(args, CliRun{monitor ? signalWhenMonitoring(SIGINT) : nullptr, dir->path()});
        QVERIFY2(
            r.exitCode == (monitor ? 130 : 0),
            qPrintable(args.join(u' ') + QStringLiteral(": ") + QString::fromLocal8Bit(r.err)));
        static const QRegularExpression stamp(R"((?m)^\d\d:\d\d:\d\d\.\d{3} \+\d+ ms )");
        if (args.contains(QLatin1String("--timestamps"))) { // reply lines: the time, since sent
            QCOMPARE(r.out.count(" ms "), 3);
            QCOMPARE(QString::fromLatin1(r.out).remove(stamp), QStringLiteral("42\nOK\nOK\n"));
        }
    }
}

QTEST_GUILESS_MAIN(TestCliScripts)
#include "tst_cliscripts.moc"
