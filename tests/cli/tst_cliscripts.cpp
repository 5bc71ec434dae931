// The real brenmoor-cli as shell scripts and CI jobs use it, against the board simulator or a
// scripted board on loopback.
#include "CliProcess.h"

#include "board/BoardSimulator.h"
#include "core/LineEnds.h"

#include <QFile>
#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <csignal>
#include <memory>

namespace {

const QByteArray Program = "10 PRINT 1\r\n20 PRINT \"A\"\r\n30 PRINT 3\r\n";

// A board on loopback whose answers the test writes. The client gets `signal` just before the
// answer to datagram number `signalAt`, so the answer races the signal.
class ScriptedBoard : public QObject {
public:
    std::function<QByteArray(const QByteArray&)> answer;
    QList<QByteArray> heard;
    qint64 clientPid = 0;
    int signalAt = 0;
    int signal = 0;

    ScriptedBoard() {
        socket_.bind(QHostAddress::LocalHost, 0);
        connect(&socket_, &QUdpSocket::readyRead, this, [this] {
            while (socket_.hasPendingDatagrams()) {
                const QNetworkDatagram d = socket_.receiveDatagram();
                heard.append(d.data());
                if (heard.size() == signalAt)
                    ::kill(pid_t(clientPid), signal);
                socket_.writeDatagram(answer(d.data()), d.senderAddress(), quint16(d.senderPort()));
            }
        });
    }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(socket_.localPort()); }

private:
    QUdpSocket socket_;
};

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

class TestCliScripts : public QObject {
    Q_OBJECT
private slots:
    void init();
    void signalEndsWithItsCode_data();
    void signalEndsWithItsCode();
    void logHoldsEveryLineBothWays_data();
    void logHoldsEveryLineBothWays();

private:
    CliResult run(const QStringList& args) {
        return runCli(QStringList{"--udp", QStringLiteral("127.0.0.1:%1").arg(board_->udpPort())} +
                          args,
                      CliRun{{}, dir_->path(), nullptr});
    }
    void write(const QString& name, const QByteArray& bytes) const {
        QFile file(dir_->filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    QByteArray read(const QString& name) const {
        QFile file(dir_->filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<board::BoardSimulator> board_;
};

void TestCliScripts::init() {
    board_.reset();
    dir_ = std::make_unique<QTemporaryDir>();
    board::BoardOptions options;
    options.udpPort = 0;
    board_ = std::make_unique<board::BoardSimulator>(options);
    QString why;
    QVERIFY2(board_->start(&why), qPrintable(why));
    write("prog.bas", Program);
    write("data.bin", QByteArray(40, 'x'));
}

// The signal lands at every step of the run in turn, each time just before the board's answer
// to that step, so the answer races it; the run ends with 128 + the signal every time. A get has
// closed the board's file, stopped or not.
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
    write("prog.bas", "10 REM\r\n20 REM\r\n30 REM\r\n40 REM\r\n50 REM\r\n60 REM\r\n");
    for (int step = 1; step <= 6; ++step) { // get: FOPEN, READ x4 (the last one at the end), CLOSE
        ScriptedBoard board;
        board.signal = signal;
        board.signalAt = step;
        int reads = 0;
        board.answer = [&reads](const QByteArray& line) -> QByteArray {
            if (line.startsWith("READ"))
                return ++reads < 4 ? QByteArray(40, 'A') + "OK\r\n" : QByteArray("ND\r\n");
            return "OK\r\n";
        };
        CliRun how{{}, dir_->path(), &board.clientPid};
        if (command.first() == QLatin1String("monitor"))
            how.whileRunning = signalWhenMonitoring(signal);
        const CliResult r =
            runCli(QStringList{"--udp", board.address(), "--timeout", "30"} + command, how);
        QVERIFY2(r.exitCode == 128 + signal, qPrintable(QStringLiteral("step %1: exit %2: %3")
                                                            .arg(step)
                                                            .arg(r.exitCode)
                                                            .arg(QString::fromLocal8Bit(r.err))));
        if (command.first() == QLatin1String("get"))
            QTRY_COMPARE(board.heard.last(), QByteArray("CLOSE\r\n"));
    }
}

// Every line the board heard is in the log once, in order, beside the board's answers.
void TestCliScripts::logHoldsEveryLineBothWays_data() {
    QTest::addColumn<QStringList>("before"); // a run without a log, to give the board something
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<QByteArray>("answer"); // a piece of the board's answer
    const QStringList nothing;
    const QStringList upload{"upload", "prog.bas"};
    const QStringList put{"put", "data.bin", "D.BIN"};
    QTest::newRow("send") << nothing << QStringList{"send", "PRINT 42"} << QByteArray("42\r\n");
    QTest::newRow("new") << nothing << QStringList{"new"} << QByteArray("OK\r\n");
    QTest::newRow("status") << nothing << QStringList{"status"} << QByteArray("Disk files: 0");
    QTest::newRow("upload") << nothing << upload << QByteArray("OK\r\n");
    QTest::newRow("download") << upload << QStringList{"download", "b.bas"}
                              << QByteArray("30 PRINT 3\r\n");
    QTest::newRow("put") << nothing << put << QByteArray("OK\r\n");
    QTest::newRow("get") << put << QStringList{"get", "D.BIN", "d.bin"} << QByteArray("ND\r\n");
    QTest::newRow("modbus") << nothing
                            << QStringList{"modbus", "10", "03", "--addr-param", "0", "--qty", "1"}
                            << QByteArray("\x10\x03\x02\x00\x00", 5);
}

void TestCliScripts::logHoldsEveryLineBothWays() {
    QFETCH(QStringList, before);
    QFETCH(QStringList, command);
    QFETCH(QByteArray, answer);
    if (!before.isEmpty())
        QCOMPARE(run(before).exitCode, 0);
    board_->takeHeard();
    const CliResult r = run(QStringList{"--log", "t.log"} + command);
    QVERIFY2(r.exitCode == 0, r.err.constData());
    const QByteArray heard = board_->takeHeard();
    const QByteArray log = read("t.log");
    QVERIFY(!heard.isEmpty());
    qsizetype at = 0;
    for (const QByteArray& line : splitLines(heard)) {
        at = log.indexOf(line, at);
        QVERIFY2(at >= 0, line.constData());
        at += line.size();
        QCOMPARE(log.count(line), heard.count(line));
    }
    QVERIFY2(log.contains(answer), log.constData());
}

QTEST_GUILESS_MAIN(TestCliScripts)
#include "tst_cliscripts.moc"
