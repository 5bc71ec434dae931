// The real brenmoor-cli as shell scripts and CI jobs use it, against the board simulator or a
// scripted board on loopback.
#include "CliProcess.h"

#include <QFile>
#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <csignal>
#include <memory>

namespace {

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

private:
    void write(const QString& name, const QByteArray& bytes) const {
        QFile file(dir_->filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    std::unique_ptr<QTemporaryDir> dir_;
};

void TestCliScripts::init() {
    dir_ = std::make_unique<QTemporaryDir>();
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

QTEST_GUILESS_MAIN(TestCliScripts)
#include "tst_cliscripts.moc"
