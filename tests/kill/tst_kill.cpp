// SIGKILL at a random moment: a flooded window's Terminal.log holds the datagrams it read from the
// first on, in order and whole, none lost that the log had shown before the kill, and both .ini
// files are one version whole; a transfer killed midway leaves NAME.part with a start of what the
// board sent and NAME untouched, and the next run completes.
#include "cli/CliProcess.h"
#include "core/LineEnds.h"

#include <QRandomGenerator>

namespace {

constexpr int DatagramBytes = 64;

QByteArray numbered(qint64 n) {
    const QByteArray head = QByteArray::number(n).rightJustified(10, '0') + ' ';
    return head + QByteArray(DatagramBytes - head.size() - 2, char('a' + n % 26)) + "\r\n";
}

qint64 sizeOf(const QString& path) {
    return QFileInfo(path).size();
}

} // namespace

class TestKill : public QObject {
    Q_OBJECT
private slots:
    void floodedWindow_data();
    void floodedWindow();
    void midTransfer_data();
    void midTransfer();
};

void TestKill::floodedWindow_data() {
    QTest::addColumn<int>("killAfterAtMost");
    QTest::newRow("early") << 300;
    QTest::newRow("later") << 6000;
}

void TestKill::floodedWindow() {
    QFETCH(int, killAfterAtMost);
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("Terminal.log"));
    const QString commandIni = dir.filePath(QStringLiteral("command.ini"));
    const QString terminalIni = dir.filePath(QStringLiteral("terminal.ini"));
    QUdpSocket sender;
    QVERIFY(sender.bind(QHostAddress::LocalHost, 0));

    for (int start = 0; start < 2; ++start) { // killed, then the next run
        QProcess window;
        window.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        window.start(QStringLiteral(BRENMOOR_DRIVER_PATH),
                     {QStringLiteral("flood"), QString::number(sender.localPort()),
                      QStringLiteral("-"), QStringLiteral("--dir"), dir.path()});
        QTRY_VERIFY_WITH_TIMEOUT(window.canReadLine(), 30000);
        const quint16 port = window.readLine().mid(5).trimmed().toUShort();
        QVERIFY(port != 0);
        WAIT_VERIFY(QFile::exists(commandIni) && QFile::exists(terminalIni));
        const qint64 base = sizeOf(log); // the start-up banner
        const qint64 total =
            start == 0 ? QRandomGenerator::global()->bounded(1, killAfterAtMost) : 20;
        // Never far ahead of the log: a datagram the kernel drops is not the program's loss.
        qint64 sent = 0;
        while (sent < total) {
            QVERIFY(QTest::qWaitFor(
                [&] { return sent - (sizeOf(log) - base) / DatagramBytes < 128; }, 20000));
            sender.writeDatagram(numbered(sent++), QHostAddress::LocalHost, port);
        }
        const qint64 loggedBeforeKill = (sizeOf(log) - base) / DatagramBytes;
        if (start == 1)
            WAIT_COMPARE(sizeOf(log) - base, total * DatagramBytes);
        ::kill(pid_t(window.processId()), SIGKILL);
        QVERIFY(window.waitForFinished());

        const QByteArray got = readFile(log).mid(base);
        const qint64 records = got.size() / DatagramBytes;
        QVERIFY2(records >= loggedBeforeKill && records <= total,
                 qPrintable(QStringLiteral("%1 records, %2 sent").arg(records).arg(total)));
        QCOMPARE(got.size() % DatagramBytes, 0); // no torn record
        for (qint64 n = 0; n < records; ++n)
            QCOMPARE(got.mid(n * DatagramBytes, DatagramBytes), numbered(n));

        // Each file is one version whole: all its lines carry the same number.
        const QList<QByteArray> commands = splitLines(readFile(commandIni));
        QCOMPARE(commands.size(), 64);
        const QByteArray version = commands.first().split(' ').first();
        for (int i = 0; i < commands.size(); ++i)
            QCOMPARE(commands.at(i), // empty throughout: killed before the first rewrite
                     version.isEmpty() ? version : version + " line " + QByteArray::number(i));
        const QList<QByteArray> hosts = splitLines(readFile(terminalIni));
        QCOMPARE(hosts.size(), 8);
        for (int i = 0; i < hosts.size(); ++i)
            QCOMPARE(hosts.at(i), hosts.first().chopped(1) + QByteArray::number(i));
    }
}

void TestKill::midTransfer_data() {
    QTest::addColumn<bool>("client");
    QTest::addColumn<bool>("receive"); // the board's DATA.BIN; else its program
    QTest::newRow("window, flash receive") << false << true;
    QTest::newRow("window, Save") << false << false;
    QTest::newRow("client, get") << true << true;
    QTest::newRow("client, download") << true << false;
}

void TestKill::midTransfer() {
    QFETCH(bool, client);
    QFETCH(bool, receive);
    QTemporaryDir dir;
    const QByteArray file = allBytes().repeated(16);
    QVERIFY(writeFile(dir.filePath(QStringLiteral("DATA.BIN")), file));
    board::BoardOptions options;
    options.udpPort = 0;
    options.ptyEnabled = false;
    options.diskDir = dir.path(); // the board's flash disk holds DATA.BIN
    options.delayMs = 8;          // slow enough to be killed midway
    board::BoardSimulator board(options);
    QString why;
    QVERIFY2(board.start(&why), qPrintable(why));

    // For a Save, a board that lists its program a line every few milliseconds, then "OK".
    QUdpSocket lister;
    QVERIFY(lister.bind(QHostAddress::LocalHost, 0));
    QNetworkDatagram asked;
    int listed = 0;
    QTimer nextLine;
    connect(&lister, &QUdpSocket::readyRead, this, [&] {
        while (lister.hasPendingDatagrams()) {
            const QNetworkDatagram d = lister.receiveDatagram();
            if (d.data().startsWith("LIS")) {
                asked = d;
                listed = 0;
                nextLine.start(5);
            }
        }
    });
    connect(&nextLine, &QTimer::timeout, this, [&] {
        const bool done = ++listed > 300;
        lister.writeDatagram(
            asked.makeReply(done ? "OK\r\n" : QByteArray::number(listed) + " PRINT 1\r\n"));
        if (done)
            nextLine.stop();
    });
    const QByteArray expected = receive ? file : numberedLines({}, 300, 1, " PRINT 1\r\n");

    const QString target = dir.filePath(QStringLiteral("saved.out"));
    const QString part = target + QStringLiteral(".part");
    QVERIFY(writeFile(target, "older\r\n"));
    const QString boardPort = QString::number(receive ? board.udpPort() : lister.localPort());
    const QString program = QString::fromUtf8(client ? BRENMOOR_CLI_PATH : BRENMOOR_DRIVER_PATH);
    const QStringList arguments =
        client ? QStringList{"--udp", "127.0.0.1:" + boardPort, "--timeout", "20"} +
                     (receive ? QStringList{"get", "DATA.BIN"} : QStringList{"download"}) +
                     QStringList{target}
               : QStringList{receive ? "receive" : "save", boardPort, target, "--dir",
                             dir.filePath("window")};

    const qint64 killAt = QRandomGenerator::global()->bounded(1, int(expected.size() * 6 / 10));
    const auto killMidway = [&](QProcess& process) {
        if (sizeOf(part) < killAt)
            return true;
        ::kill(pid_t(process.processId()), SIGKILL);
        return false;
    };
    const int killed = runCli(arguments, CliRun{killMidway, {}, nullptr, program}).exitCode;
    const QString at = QStringLiteral("killed at %1 bytes").arg(killAt);
    QVERIFY2(killed == -1, qPrintable(at + QStringLiteral(", exit %1").arg(killed)));
    QCOMPARE(readFile(target), QByteArray("older\r\n"));
    const QByteArray left = readFile(part);
    QVERIFY2(left.size() >= killAt && expected.startsWith(left), qPrintable(at));

    const CliResult again = runCli(arguments, CliRun{{}, {}, nullptr, program});
    QVERIFY2(again.exitCode == 0, again.err.constData());
    QCOMPARE(readFile(target), expected);
    QVERIFY(!QFile::exists(part));
}

QTEST_GUILESS_MAIN(TestKill)
#include "tst_kill.moc"
