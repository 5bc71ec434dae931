// The command line without a board: what each argument list becomes, which ones are refused
// before anything is sent, the help texts, and how board text reaches stdout.
#include "cli/CliRequest.h"
#include "cli/ModbusArgs.h"
#include "cli/Report.h"

#include <QTest>

using What = ParsedArguments::What;

namespace {

ParsedArguments parse(const QString& line) {
    return parseArguments(QStringList{QStringLiteral("brenmoor-cli")} +
                          line.split(u' ', Qt::SkipEmptyParts));
}

} // namespace

class TestCliArguments : public QObject {
    Q_OBJECT
private slots:
    void refused_data();
    void refused();
    void links();
    void modbusFrames_data();
    void modbusFrames();
    void help();
    void boardTextLineEnds();
};

// Each stops at usage (exit 1) with a message: a slip in a script must not reach a board.
void TestCliArguments::refused_data() {
    QTest::addColumn<QString>("line");
    const auto rows = [](const QString& prefix, const QStringList& tails) {
        for (const QString& tail : tails)
            QTest::newRow(qPrintable(prefix + tail)) << prefix + tail;
    };
    rows({}, {"status", "help reboot", "--serial ttyUSB0 status", "--serial /dev/ttyUSB0:0 status",
              "--serial /dev/ttyS0:abc status", "--serial COM3 --framed --via-usb 16 status",
              "--serial COM3 --framed --frame-addr 256 status", "--udp 10.0.0.1:0 status",
              "--udp 10.0.0.1:abc status", "--udp 256.1.1.1 status", "--udp 1.2.3 status",
              "--udp ::1 status"});
    rows("--udp 10.0.0.1 ",
         {"", "--serial /dev/ttyS0 status", "reboot", "upload", "get A", "status now",
          "--framed status", "--via-usb 16 put a.bin", "--timeout 0 status", "--hex status",
          "--json monitor", "--raw --json status", "--raw --timestamps send X"});
    rows("--udp 10.0.0.1 modbus ", {"10 10 --data 010", "10 43 --data 01 --ascii x", "123 03"});
    rows("--udp 10.0.0.1 modbus 10 03 ",
         {"--addr-param 12G4", "--addr-param abc --addr-param-dec", "--addr-param 12abc",
          "--every 0", "--every 10ms", "--every 3600001", "--every 100 --count -1", "--count 5",
          "--csv polls.csv"});
}

void TestCliArguments::refused() {
    QFETCH(QString, line);
    const ParsedArguments parsed = parse(line);
    QCOMPARE(parsed.what, What::Usage);
    QVERIFY(!parsed.message.isEmpty());
}

// The link as "udp HOST PORT" or "serial PORT SPEED", then the MDC address as typed.
void TestCliArguments::links() {
    const auto link = [](const char* line) {
        const ParsedArguments parsed = parse(QString::fromLatin1(line));
        const LinkSpec& l = parsed.request.link;
        const bool udp = l.kind == LinkSpec::Kind::Udp;
        const QString port =
            l.portPath.isEmpty() ? QStringLiteral("COM%1").arg(l.commNumber) : l.portPath;
        return parsed.what != What::Run ? parsed.message
                                        : QStringLiteral("%1 %2 %3 %4")
                                              .arg(udp ? "udp" : "serial", udp ? l.host : port)
                                              .arg(udp ? int(l.remotePort) : l.speed)
                                              .arg(QString::fromLatin1(l.viaUsb.value_or("-")));
    };
    QCOMPARE(link("--udp 10.0.0.5 --via-usb 016 status"), "udp 10.0.0.5 111 016");
    QCOMPARE(link("--udp 127.0.0.1:1111 status"), "udp 127.0.0.1 1111 -");
    QCOMPARE(link("--serial /dev/ttyUSB0 status"), "serial /dev/ttyUSB0 9600 -");
    QCOMPARE(link("--serial COM3:19200 status"), "serial COM3 19200 -");
}

// A field is in the frame only when given; hex takes lower case and "0x"; decimal is per field.
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

// One text for all three ways of asking; a command's page holds only the options that apply.
void TestCliArguments::help() {
    const ParsedArguments all = parse(QStringLiteral("--help"));
    QCOMPARE(all.what, What::Help);
    QCOMPARE(parse(QStringLiteral("--help-all")).message, all.message);
    QCOMPARE(parse(QStringLiteral("help")).message, all.message);
    const QString page = parse(QStringLiteral("help modbus")).message;
    QCOMPARE(parse(QStringLiteral("modbus --help")).message, page);
    QVERIFY2(page.startsWith(QStringLiteral("Usage: brenmoor-cli LINK [options] modbus ADDR FUNC")),
             qPrintable(page));
    QVERIFY(page.contains(QStringLiteral("\n  --addr-param ")) && !page.contains("--hex "));
}

// Board text: CR LF and a lone CR become LF, also a CR LF cut between chunks; --raw keeps all.
void TestCliArguments::boardTextLineEnds() {
    for (const bool raw : {false, true}) {
        char* buffer = nullptr;
        size_t size = 0;
        std::FILE* stream = ::open_memstream(&buffer, &size);
        {
            Report report({false, false, raw}, stream, stream);
            for (const char* chunk : {"a\r\nb\rc\r", "\nd\n", "e\r"})
                report.board(chunk);
        }
        std::fclose(stream);
        const QByteArray written(buffer, qsizetype(size));
        std::free(buffer);
        QCOMPARE(written, raw ? "a\r\nb\rc\r\nd\ne\r" : "a\nb\nc\nd\ne\n");
    }
}

QTEST_GUILESS_MAIN(TestCliArguments)
#include "tst_cliarguments.moc"
