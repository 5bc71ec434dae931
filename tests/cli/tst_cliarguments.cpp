// The command line without a board: what each argument list becomes, which ones are refused
// before anything is sent, and the exit codes a transfer's end maps to.
#include "cli/CliRequest.h"
#include "cli/ModbusArgs.h"
#include "cli/Progress.h"
#include "cli/Report.h"

#include <QTest>

using What = ParsedArguments::What;

namespace {

ParsedArguments parse(const QString& line) {
    return parseArguments(QStringList{QStringLiteral("brenmoor-cli")} +
                          line.split(u' ', Qt::SkipEmptyParts));
}

// What `print` writes to a stream.
QByteArray printed(const std::function<void(std::FILE*)>& print) {
    char* buffer = nullptr;
    size_t size = 0;
    std::FILE* stream = ::open_memstream(&buffer, &size);
    print(stream);
    std::fclose(stream);
    const QByteArray written(buffer, qsizetype(size));
    std::free(buffer);
    return written;
}

} // namespace

class TestCliArguments : public QObject {
    Q_OBJECT
private slots:
    void refused_data();
    void refused();
    void links_data();
    void links();
    void modbusFrames_data();
    void modbusFrames();
    void helpHasOneText();
    void commandPage_data();
    void commandPage();
    void plainProgress();
    void boardTextLineEnds_data();
    void boardTextLineEnds();
};

// Every one of these must stop at usage (exit 1) with a message, never reach the link. Of the
// frames the builder refuses, one stands for all: the reasons are the builder's own tests; of
// the options a command has no use for, two: the rest is the table the help pages show.
void TestCliArguments::refused_data() {
    QTest::addColumn<QString>("line");
    QTest::newRow("no link") << "status";
    QTest::newRow("two links") << "--udp 10.0.0.1 --serial /dev/ttyS0 status";
    QTest::newRow("no command") << "--udp 10.0.0.1";
    QTest::newRow("unknown command") << "--udp 10.0.0.1 reboot";
    QTest::newRow("upload without file") << "--udp 10.0.0.1 upload";
    QTest::newRow("get with one name") << "--udp 10.0.0.1 get A";
    QTest::newRow("status with argument") << "--udp 10.0.0.1 status now";
    QTest::newRow("port zero") << "--udp 10.0.0.1:0 status";
    QTest::newRow("port not a number") << "--udp 10.0.0.1:abc status";
    QTest::newRow("serial not COMn") << "--serial ttyUSB0 status";
    QTest::newRow("speed zero") << "--serial /dev/ttyUSB0:0 status";
    QTest::newRow("framed on udp") << "--udp 10.0.0.1 --framed status";
    QTest::newRow("framed and mdc") << "--serial COM3 --framed --via-usb 16 status";
    QTest::newRow("frame address 256") << "--serial COM3 --framed --frame-addr 256 status";
    QTest::newRow("put through udp gateway") << "--udp 10.0.0.1 --via-usb 16 put a.bin";
    QTest::newRow("timeout zero") << "--udp 10.0.0.1 --timeout 0 status";
    QTest::newRow("hex without monitor") << "--udp 10.0.0.1 --hex status";
    QTest::newRow("odd hex data") << "--udp 10.0.0.1 modbus 10 10 --data 010";
    QTest::newRow("hex and ascii data") << "--udp 10.0.0.1 modbus 10 43 --data 01 --ascii x";
    QTest::newRow("not hex") << "--udp 10.0.0.1 modbus 10 03 --addr-param 12G4";
    QTest::newRow("address too wide") << "--udp 10.0.0.1 modbus 123 03";
    // A slip in a script must not reach a board as something else.
    QTest::newRow("host part above 255") << "--udp 256.1.1.1 status";
    QTest::newRow("host of three parts") << "--udp 1.2.3 status";
    QTest::newRow("IPv6") << "--udp ::1 status";
    QTest::newRow("speed not a number") << "--serial /dev/ttyS0:abc status";
    QTest::newRow("decimal field not a number")
        << "--udp 10.0.0.1 modbus 10 03 --addr-param abc --addr-param-dec";
    QTest::newRow("hex field with a tail") << "--udp 10.0.0.1 modbus 10 03 --addr-param 12abc";
    QTest::newRow("json on a stream") << "--udp 10.0.0.1 --json monitor";
    QTest::newRow("raw and json") << "--udp 10.0.0.1 --raw --json status";
    QTest::newRow("help on no command") << "help reboot";
    QTest::newRow("raw and timestamps") << "--udp 10.0.0.1 --raw --timestamps send X";
    const QString poll = QStringLiteral("--udp 10.0.0.1 modbus 10 03 ");
    QTest::newRow("period zero") << poll + "--every 0";
    QTest::newRow("period with a unit") << poll + "--every 10ms";
    QTest::newRow("period past an hour") << poll + "--every 3600001";
    QTest::newRow("count negative") << poll + "--every 100 --count -1";
    QTest::newRow("count without a period") << poll + "--count 5";
    QTest::newRow("csv without a period") << poll + "--csv polls.csv";
}

void TestCliArguments::refused() {
    QFETCH(QString, line);
    const ParsedArguments parsed = parse(line);
    QCOMPARE(parsed.what, What::Usage);
    QVERIFY(!parsed.message.isEmpty());
}

// The link as "udp HOST PORT" or "serial PORT SPEED", then the MDC address as typed.
void TestCliArguments::links_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("link");
    const auto row = [](const char* name, const char* line, const char* link) {
        QTest::newRow(name) << QString::fromLatin1(line) << QString::fromLatin1(link);
    };
    row("udp default port", "--udp 10.0.0.5 status", "udp 10.0.0.5 111 -");
    row("udp gateway as typed", "--udp 10.0.0.5 --via-usb 016 status", "udp 10.0.0.5 111 016");
    row("serial default speed", "--serial /dev/ttyUSB0 status", "serial /dev/ttyUSB0 9600 -");
    row("COMn", "--serial COM3:19200 status", "serial COM3 19200 -");
    row("udp port as the window's host entry", "--udp 127.0.0.1:1111 status",
        "udp 127.0.0.1 1111 -");
}

void TestCliArguments::links() {
    QFETCH(QString, line);
    QFETCH(QString, link);
    const ParsedArguments parsed = parse(line);
    QCOMPARE(parsed.what, What::Run);
    const LinkSpec& l = parsed.request.link;
    const bool udp = l.kind == LinkSpec::Kind::Udp;
    const QString port =
        l.portPath.isEmpty() ? QStringLiteral("COM%1").arg(l.commNumber) : l.portPath;
    QCOMPARE(QStringLiteral("%1 %2 %3 %4")
                 .arg(udp ? "udp" : "serial", udp ? l.host : port)
                 .arg(udp ? int(l.remotePort) : l.speed)
                 .arg(QString::fromLatin1(l.viaUsb.value_or("-"))),
             link);
}

// Options to frames: a field is in the frame only when given, hex fields take lower case and
// "0x", decimal switches apply to their own field.
void TestCliArguments::modbusFrames_data() {
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("lower case and 0x")
        << QStringList{"0x0a", "03", "--addr-param", "0x0000", "--qty", "0002"}
        << QByteArray::fromHex("0A0300000002C570");
    QTest::newRow("decimal value only")
        << QStringList{"10", "06", "--addr-param", "1", "--qty", "300", "--qty-dec"}
        << QByteArray::fromHex("10060001012CDB06");
    QTest::newRow("text block, no crc, crlf")
        << QStringList{"10", "43", "--ascii", "hello", "--no-crc", "--crlf"}
        << QByteArray("\x10\x43\x05hello\r\n", 10);
    QTest::newRow("nothing but the crc") << QStringList{"", ""} << QByteArray("\xFF\xFF", 2);
}

void TestCliArguments::modbusFrames() {
    QFETCH(QStringList, fields);
    QFETCH(QByteArray, frame);
    const ParsedArguments parsed =
        parseArguments(QStringList{"brenmoor-cli", "--udp", "10.0.0.1", "modbus"} + fields);
    QCOMPARE(parsed.what, What::Run);
    QCOMPARE(parsed.request.modbusFrame, frame);
}

// One text for all three ways of asking; that it names every command is the examples' test.
void TestCliArguments::helpHasOneText() {
    const ParsedArguments parsed = parse(QStringLiteral("--help"));
    QCOMPARE(parsed.what, What::Help);
    QCOMPARE(parse(QStringLiteral("--help-all")).message, parsed.message);
    QCOMPARE(parse(QStringLiteral("help")).message, parsed.message);
}

// A command's own page, however it is asked for: its usage, an example of it, the options
// that apply to it and none that do not. Two pages stand for the table they are made from.
void TestCliArguments::commandPage_data() {
    QTest::addColumn<QStringList>("usageApplyDoesNot");
    QTest::newRow("modbus") << QStringList{"modbus ADDR FUNC", "--addr-param", "--hex"};
    QTest::newRow("monitor") << QStringList{"monitor", "--hex", "--json"};
}

void TestCliArguments::commandPage() {
    QFETCH(QStringList, usageApplyDoesNot);
    const QString name = usageApplyDoesNot[0].section(u' ', 0, 0);
    const QString page = parse(QStringLiteral("help ") + name).message;
    QCOMPARE(parse(name + QStringLiteral(" --help")).what, What::Help);
    QCOMPARE(parse(name + QStringLiteral(" --help")).message, page);
    QVERIFY2(page.startsWith(QStringLiteral("Usage: brenmoor-cli LINK [options] ") +
                             usageApplyDoesNot[0]),
             qPrintable(page));
    QVERIFY(page.contains(QStringLiteral("\n  brenmoor-cli ")));
    QVERIFY(page.contains(QStringLiteral("\n  ") + usageApplyDoesNot[1] + u' '));
    QVERIFY(!page.contains(usageApplyDoesNot[2] + u' '));
    QVERIFY(page.size() < parse(QStringLiteral("--help")).message.size() * 2 / 3);
}

void TestCliArguments::plainProgress() {
    const QList<QByteArray> lines =
        printed([](std::FILE* out) {
            Progress progress(false, out);
            progress.start(QStringLiteral("upload"), 2000, QStringLiteral("lines"));
            for (int done = 1; done <= 2000; ++done)
                progress.update(done);
            progress.finish();
        }).split('\n');
    QCOMPARE(lines.size(), 12); // 0 %, ten steps, and the empty rest after the last newline
    QCOMPARE(lines.at(10),
             Progress::barText(QStringLiteral("upload"), 2000, 2000, QStringLiteral("lines"))
                 .toLocal8Bit());
    QVERIFY(lines.at(10).contains("100%"));
}

// Board text on stdout: CR LF and a lone CR become LF, also a CR LF cut between two chunks;
// --raw keeps every byte.
void TestCliArguments::boardTextLineEnds_data() {
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<bool>("raw");
    QTest::addColumn<QByteArray>("out");
    const QByteArrayList mixed{"a\r\nb\rc\r", "\nd\n", "e\r"};
    QTest::newRow("LF") << mixed << false << QByteArray("a\nb\nc\nd\ne\n");
    QTest::newRow("raw") << mixed << true << QByteArray("a\r\nb\rc\r\nd\ne\r");
}

void TestCliArguments::boardTextLineEnds() {
    QFETCH(QByteArrayList, chunks);
    QFETCH(bool, raw);
    QFETCH(QByteArray, out);
    QCOMPARE(printed([&](std::FILE* stream) {
                 Report report({false, false, raw}, stream, stream);
                 for (const QByteArray& chunk : chunks)
                     report.board(chunk);
             }),
             out);
}

QTEST_GUILESS_MAIN(TestCliArguments)
#include "tst_cliarguments.moc"
