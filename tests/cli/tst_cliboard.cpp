// The real brenmoor-cli against the board simulator over loopback UDP and its pseudo-terminal.
#include "CliProcess.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

class TestCliBoard : public QObject, CliFixture {
    Q_OBJECT
private slots:
    void init() { fresh(); }
    void roundTrip_data();
    void roundTrip();
    void modbusRegisters();
    void modbusPolling_data();
    void modbusPolling();
    void boardStopsAnswering_data();
    void boardStopsAnswering();
    void interruptClosesTheTransfer();
    void failsEarly_data();
    void failsEarly();
};

// A program comes back byte for byte (Windows-1251 letters as they are) over each way the client
// wires a link, and lands over a longer file. Sizes and cut replies are tests/transfer's.
void TestCliBoard::roundTrip_data() {
    QTest::addColumn<QString>("via");
    QTest::newRow("udp, MDC gateway") << "udp --via-usb 16";
    QTest::newRow("serial, MDC gateway") << "serial --via-usb 16";
    QTest::newRow("serial, console-text frames") << "serial --framed";
}

void TestCliBoard::roundTrip() {
    QFETCH(QString, via);
    const QByteArray program = numberedLines({}, 12, 1, " PRINT \"\xC0\xFF\"\r\n");
    write("local", program);
    write("back", "old and longer content that must go");
    for (const char* command : {"upload local", "download back"}) {
        const CliResult r = runCli((via.startsWith("udp") ? udp() : serial()) +
                                       via.split(u' ').mid(1) + QString(command).split(u' '),
                                   CliRun{{}, dir->path()});
        QVERIFY2(r.exitCode == 0, r.err.constData());
    }
    QCOMPARE(read("back"), program);
}

// Holding registers over the pty, as text: two written with a data block in spaced pairs, read.
void TestCliBoard::modbusRegisters() {
    const QStringList modbus = serial() + QStringList{"modbus", "10"};
    CliResult r = runCli(
        modbus + QStringList{"10", "--addr-param", "2", "--qty", "2", "--data", "1234 5678"});
    QVERIFY2(r.exitCode == 0, r.err.constData());
    QVERIFY2(r.out.contains("DataAddr = 0002(2)  Value = 0002(2)\n"), r.out.constData());
    r = runCli(modbus + QStringList{"03", "--addr-param", "2", "--qty", "2"});
    QVERIFY2(r.exitCode == 0, r.err.constData());
    QVERIFY2(r.out.contains("Number param = 2\nValue #1 = 1234(4660)\nValue #2 = 5678(22136)\n"),
             r.out.constData());
}

// Registers 90..92 polled N times: the board and the log have N requests, the CSV the rows the
// JSON lines make. The period is the reply's deadline: long where one must come, short where not.
void TestCliBoard::modbusPolling_data() {
    QTest::addColumn<QStringList>("request");
    QTest::addColumn<int>("everyMs");
    QTest::addColumn<int>("polls");
    QTest::addColumn<int>("exitCode");
    const QStringList registers{"03", "--addr-param", "5A", "--qty", "3"};
    QTest::newRow("answered") << QStringList{"10"} + registers << 10000 << 2 << 0;
    QTest::newRow("no board at the address") << QStringList{"11"} + registers << 300 << 2 << 3;
    QTest::newRow("exception") << QStringList{"10", "03", "--addr-param", "5A", "--qty", "20"}
                               << 10000 << 1 << 4;
}

void TestCliBoard::modbusPolling() {
    QFETCH(QStringList, request);
    QFETCH(int, everyMs);
    QFETCH(int, polls);
    QFETCH(int, exitCode);
    const CliResult r = runCli(udp() +
                               QStringList{"--json", "--every", QString::number(everyMs), "--count",
                                           QString::number(polls), "--csv", path("polls.csv"),
                                           "--log", path("t.log"), "modbus"} +
                               request);
    QVERIFY2(r.exitCode == exitCode, r.err.constData());
    const QList<QByteArray> lines = r.out.trimmed().split('\n');
    QCOMPARE(lines.size(), polls + 1); // and the summary
    const QJsonObject summary = QJsonDocument::fromJson(lines.last()).object();
    QCOMPARE(summary.value("polls").toInt(), polls);
    const QByteArray frame = QByteArray::fromHex(summary.value("request").toString().toLatin1());
    QCOMPARE(board->takeHeard().count(frame), polls);
    QCOMPARE(read("t.log").count(frame), polls);
    QByteArray csv = "time,register,value,reply_ms,crc_good,event\r\n";
    for (qsizetype i = 0; i < polls; ++i) {
        const QJsonObject poll = QJsonDocument::fromJson(lines.at(i)).object();
        const QByteArray time = QDateTime::fromMSecsSinceEpoch(poll.value("atMs").toInteger())
                                    .toString("yyyy-MM-dd HH:mm:ss.zzz")
                                    .toLatin1();
        const QByteArray reply = QByteArray::number(poll.value("replyMs").toInt()) + ",1,";
        const QString outcome = poll.value("outcome").toString();
        if (outcome == "timeout")
            csv += time + ",,,,,timeout\r\n";
        else if (outcome == "exception")
            csv += time + ",,," + reply + "exception 0" +
                   QByteArray::number(poll.value("exception").toInt()) + "\r\n";
        const QJsonArray values = poll.value("parsed").toObject().value("values").toArray();
        for (qsizetype v = 0; v < values.size(); ++v)
            csv += time + ',' + QByteArray::number(90 + v) + ',' +
                   QByteArray::number(values.at(v).toInt()) + ',' + reply + "\r\n";
    }
    QCOMPARE(read("polls.csv"), csv);
}

// A board that loses its replies: exit 3, never a hang, and a put ends with the window's CLOSE.
// The timeout is long enough for a busy machine to answer every reply the board does send.
void TestCliBoard::boardStopsAnswering_data() {
    QTest::addColumn<int>("dropEvery");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("status, every reply lost") << 1 << "status" << QByteArray("STATUS");
    QTest::newRow("put, stops mid-way") << 6 << "put local DATA.BIN" << QByteArray("incomplete");
    QTest::newRow("upload, stops mid-way")
        << 4 << "upload local" << QByteArray("stopped at line 4");
}

void TestCliBoard::boardStopsAnswering() {
    QFETCH(int, dropEvery);
    QFETCH(QString, command);
    QFETCH(QByteArray, message);
    board::BoardOptions options;
    options.dropEvery = dropEvery;
    startBoard(options);
    write("local", numberedLines({}, 20, 1, " PRINT 1\r\n"));
    const CliResult r =
        runCli(udp() + QStringList{"--timeout", "10", "--log", "t.log"} + command.split(u' '),
               CliRun{{}, dir->path()});
    QCOMPARE(r.exitCode, 3);
    QVERIFY2(r.err.contains(message), r.err.constData());
    if (command.startsWith(QLatin1String("put")))
        QVERIFY(read("t.log").endsWith("CLOSE\r\n"));
}

// Ctrl+C in the middle of a get: the board gets CLOSE, the local file keeps the pieces that
// came, and the run says it is partial. The board answers two reads; the third brings SIGINT.
void TestCliBoard::interruptClosesTheTransfer() {
    ScriptedBoard peer;
    peer.signal = SIGINT;
    peer.signalAt = 4; // FOPEN, READ, READ, READ
    peer.answer = [&peer](const QByteArray& line) -> QByteArray {
        if (line.startsWith("FOPEN"))
            return "OK\r\n";
        if (line == "READ 20\r\n" && peer.heard.size() < peer.signalAt)
            return allBytes().left(20).toHex().toUpper() + "OK\r\n";
        return {};
    };
    const CliResult r =
        runCli(peer.link() + QStringList{"--timeout", "60", "get", "F.BIN", path("part.bin")},
               CliRun{{}, {}, &peer.clientPid});
    QCOMPARE(r.exitCode, 130);
    QVERIFY2(r.err.contains("partial: 40 bytes"), r.err.constData());
    QCOMPARE(read("part.bin.part"), allBytes().left(20).repeated(2));
    QVERIFY(!QFile::exists(path("part.bin")));
    WAIT_VERIFY(!peer.heard.isEmpty() && peer.heard.last() == "CLOSE\r\n");
}

// Runs that stop before anything reaches the board, with one line on stderr: the command line
// (exit 1), the link (2, with the system's reason), a local file (5, checked before the link).
void TestCliBoard::failsEarly_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("host not an address") << "--udp board.invalid status" << 1;
    QTest::newRow("local port held") << "--udp 127.0.0.1 --local-port HELD status" << 2;
    QTest::newRow("serial path a regular file") << "--serial FILE status" << 2;
    QTest::newRow("upload, missing") << "BOARD upload missing" << 5;
    QTest::newRow("upload, binary") << "BOARD upload binary" << 5;
    QTest::newRow("put, a directory") << "BOARD put ." << 5;
    QTest::newRow("get into a directory") << "BOARD get X ." << 5;
    QTest::newRow("poll, csv a device") << "BOARD modbus 10 03 --every 100 --csv /dev/full" << 5;
}

void TestCliBoard::failsEarly() {
    QFETCH(QString, line);
    QFETCH(int, exitCode);
    QUdpSocket holder;
    QVERIFY(holder.bind(QHostAddress::AnyIPv4, 0, QUdpSocket::DontShareAddress));
    const QByteArray held = QByteArray::number(holder.localPort());
    write("file", "not a port\n");
    write("binary", QByteArray("10 PRINT 1\r\n\x00\x01\x02", 15));
    QStringList args =
        QString(line).replace("HELD", held).replace("FILE", path("file")).split(u' ');
    if (args.first() == QLatin1String("BOARD"))
        args = udp() + args.mid(1);
    const CliResult r = runCli(args, CliRun{{}, dir->path()});
    QCOMPARE(r.exitCode, exitCode);
    QCOMPARE(r.err.count('\n'), 1);
    if (exitCode == 2)
        QVERIFY2(r.err.startsWith("brenmoor-cli: cannot open "), r.err.constData());
    if (line.contains("HELD")) // the port a script chose, named
        QVERIFY2(r.err.contains("local port " + held), r.err.constData());
    QCOMPARE(board->interpreter().program().lineCount(), 0);
}

QTEST_GUILESS_MAIN(TestCliBoard)
#include "tst_cliboard.moc"
