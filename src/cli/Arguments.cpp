#include "cli/CliRequest.h"

#include "cli/ExitCode.h"
#include "cli/ModbusArgs.h"
#include "core/Cp1251.h"
#include "link/Gateway.h"
#include "link/PortChoice.h"

#include <QCommandLineParser>
#include <QHash>
#include <cmath>

namespace {

struct CommandShape {
    Command command;
    int minArgs;
    int maxArgs; // -1: any number
};

const QHash<QString, CommandShape>& commandShapes() {
    static const QHash<QString, CommandShape> shapes{
        {QStringLiteral("send"), {Command::Send, 1, -1}},
        {QStringLiteral("upload"), {Command::Upload, 1, 1}},
        {QStringLiteral("download"), {Command::Download, 1, 1}},
        {QStringLiteral("new"), {Command::New, 0, 0}},
        {QStringLiteral("status"), {Command::Status, 0, 0}},
        {QStringLiteral("put"), {Command::Put, 1, 2}},
        {QStringLiteral("get"), {Command::Get, 2, 2}},
        {QStringLiteral("modbus"), {Command::Modbus, 2, 2}},
        {QStringLiteral("monitor"), {Command::Monitor, 0, 0}},
    };
    return shapes;
}

const char* const Description =
    "Board work from scripts and CI, without a window: the same transfers, gateway formats\n"
    "and MODBUS requests as the Brenmoor window, over UDP or a serial port.\n"
    "\n"
    "Commands (one per run, after the options):\n"
    "  send LINE...        send each command line; print the board's answer up to its\n"
    "                      OK/ERROR or --quiet-ms of silence\n"
    "                        brenmoor-cli --udp 192.168.0.100 send \"PRINT 1+1\" LIST\n"
    "  upload FILE.bas     the paced program upload, each line released by OK; on ERROR\n"
    "                      the file's line number and text\n"
    "                        brenmoor-cli --serial /dev/ttyUSB0:115200 upload blink.bas\n"
    "  download FILE.bas   the board's program listing into FILE.bas, byte for byte\n"
    "                        brenmoor-cli --udp 192.168.0.100 download saved.bas\n"
    "  new                 erase the board's program\n"
    "                        brenmoor-cli --udp 192.168.0.100 new\n"
    "  status              print the board's status\n"
    "                        brenmoor-cli --serial COM3 status\n"
    "  put LOCAL [NAME]    copy a local file to the flash disk (NAME: LOCAL's file name)\n"
    "                        brenmoor-cli --udp 192.168.0.100 put data.bin DATA.BIN\n"
    "  get NAME LOCAL      copy a flash-disk file into LOCAL\n"
    "                        brenmoor-cli --udp 192.168.0.100 get DATA.BIN copy.bin\n"
    "  modbus ADDR FUNC    build a MODBUS RTU request as the builder panel does (ADDR and\n"
    "                      FUNC in hex, \"\" leaves a byte out), send it, print the parsed\n"
    "                      reply and the reply time; fields: --addr-param, --qty, --data,\n"
    "                      --ascii, --no-crc, --crlf\n"
    "                        brenmoor-cli --udp 192.168.0.100 modbus 10 03 --addr-param 0 --qty 2\n"
    "                        brenmoor-cli --serial COM3 modbus 10 06 --addr-param 1 --qty 00FF\n"
    "                        brenmoor-cli --serial COM3 modbus 10 10 --addr-param 0 --qty 2 \\\n"
    "                          --data 00010002\n"
    "  monitor             print everything the board sends until Ctrl+C (--hex: as hex)\n"
    "                        brenmoor-cli --serial /dev/ttyUSB0 monitor --hex\n"
    "\n"
    "Progress goes to standard error: a bar on a terminal, plain lines otherwise. Ctrl+C\n"
    "ends a transfer cleanly: the board gets the same CLOSE the window sends, and a partly\n"
    "received file is kept and reported as partial.";

bool isDigits(const QString& text) {
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

std::optional<quint16> portNumber(const QString& text) {
    bool ok = false;
    const uint value = text.toUInt(&ok);
    if (!isDigits(text) || !ok || value < 1 || value > 65535)
        return std::nullopt;
    return quint16(value);
}

// Four dotted decimal numbers 0..255: the resolver would take "1.2.3" for 1.2.0.3.
bool isIpv4Address(const QString& text) {
    const QStringList parts = text.split(u'.');
    if (parts.size() != 4)
        return false;
    for (const QString& part : parts) {
        if (!isDigits(part) || part.size() > 3 || part.toInt() > 255)
            return false;
    }
    return true;
}

ParsedArguments usage(const QString& message) {
    ParsedArguments out;
    out.what = ParsedArguments::What::Usage;
    out.message = message;
    return out;
}

} // namespace

std::optional<QString> parseUdpLink(const QString& text, LinkSpec& link) {
    link.kind = LinkSpec::Kind::Udp;
    link.host = text.trimmed();
    if (link.host.count(u':') > 1)
        return QStringLiteral("--udp takes an IPv4 address; IPv6 is not supported: \"%1\"")
            .arg(text);
    const qsizetype colon = link.host.lastIndexOf(u':');
    if (colon >= 0) {
        const auto port = portNumber(link.host.mid(colon + 1));
        if (!port)
            return QStringLiteral("--udp: the port must be 1 to 65535: \"%1\"").arg(text);
        link.remotePort = *port;
        link.host.truncate(colon);
    }
    if (link.host.isEmpty())
        return QStringLiteral("--udp needs the board's address: \"%1\"").arg(text);
    if (!isIpv4Address(link.host) &&
        link.host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0)
        return QStringLiteral("--udp takes the board's IPv4 address, four numbers 0 to 255 "
                              "(host names are not looked up): \"%1\"")
            .arg(text);
    return std::nullopt;
}

std::optional<QString> parseSerialLink(const QString& text, LinkSpec& link) {
    link.kind = LinkSpec::Kind::Serial;
    QString name = text.trimmed();
    const qsizetype colon = name.lastIndexOf(u':');
    if (colon >= 0) {
        bool ok = false;
        const int speed = name.mid(colon + 1).toInt(&ok);
        if (!isDigits(name.mid(colon + 1)) || !ok || speed <= 0)
            return QStringLiteral("--serial: the speed must be a positive number: \"%1\"")
                .arg(text);
        link.speed = speed;
        name.truncate(colon);
    }
    if (name.contains(u'/')) {
        link.portPath = name;
        return std::nullopt;
    }
    // As in the window's port box: "COMn", the number from the fourth character on.
    const std::optional<int> number = name.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)
                                          ? PortChoice::commPortNumber(name)
                                          : std::nullopt;
    if (!number)
        return QStringLiteral("--serial wants a device path or COMn: \"%1\"").arg(text);
    link.commNumber = *number;
    return std::nullopt;
}

ParsedArguments parseArguments(const QStringList& arguments) {
    QCommandLineParser p;
    p.setApplicationDescription(QString::fromLatin1(Description));
    const QCommandLineOption help = p.addHelpOption();
    const QCommandLineOption version = p.addVersionOption();
    const auto valued = [&p](const char* name, const char* text, const char* valueName) {
        QCommandLineOption o(QString::fromLatin1(name), QString::fromLatin1(text),
                             QString::fromLatin1(valueName));
        p.addOption(o);
        return o;
    };
    const auto flag = [&p](const char* name, const char* text) {
        QCommandLineOption o(QString::fromLatin1(name), QString::fromLatin1(text));
        p.addOption(o);
        return o;
    };
    const auto udp = valued("udp", "The board over UDP (port 111 by default).", "HOST[:PORT]");
    const auto localPort = valued(
        "local-port", "Our UDP port (default: drawn from 5500-6499 as the window does).", "PORT");
    const auto serial = valued("serial",
                               "The board on a serial port, a device path or COMn "
                               "(9600 baud by default).",
                               "PATH[:SPEED]");
    const auto framed = flag("framed", "Serial: console-text frames (MODBUS function 0x43).");
    const auto frameAddr =
        valued("frame-addr", "The board's address in console-text frames (default 16).", "ADDR");
    const auto viaUsb = valued(
        "via-usb", "Forward every line as \"MDC ADDR,line\" through an intermediary.", "ADDR");
    const auto log = valued("log",
                            "Append every received chunk and every sent command to FILE, "
                            "as the window's Terminal.log.",
                            "FILE");
    const auto timeout =
        valued("timeout", "Wait at most this long for each answer (default 5).", "SECONDS");
    const auto quiet =
        valued("quiet-ms", "send, new, status: silence that ends an answer (default 300).", "MS");
    const auto hex = flag("hex", "monitor: show the bytes as hex.");
    const auto stats =
        flag("stats", "Print the client's own time per handshake at the end (benchmarks).");
    const auto addrParam = valued(
        "addr-param", "modbus: the data address (hex; decimal with --addr-param-dec).", "VALUE");
    const auto addrParamDec = flag("addr-param-dec", "modbus: --addr-param is decimal.");
    const auto qty = valued(
        "qty", "modbus: the quantity or the value written (hex; decimal with --qty-dec).", "VALUE");
    const auto qtyDec = flag("qty-dec", "modbus: --qty is decimal.");
    const auto data =
        valued("data", "modbus: a data block of hex pairs, sent after its length byte.", "HEX");
    const auto ascii =
        valued("ascii", "modbus: a data block of text, sent after its length byte.", "TEXT");
    const auto noCrc = flag("no-crc", "modbus: leave the CRC-16 out.");
    const auto crlf = flag("crlf", "modbus: end the frame with CR LF (after the CRC).");
    p.addPositionalArgument(QStringLiteral("command"), QStringLiteral("What to do; see above."),
                            QStringLiteral("command [args...]"));

    if (!p.parse(arguments))
        return usage(p.errorText());
    ParsedArguments out;
    // addHelpOption also offers --help-all (help with Qt's own options): a program without a
    // window has none worth listing, so both give the same text.
    if (p.isSet(help) || p.isSet(QStringLiteral("help-all"))) {
        out.what = ParsedArguments::What::Help;
        out.message = p.helpText() + QStringLiteral("\nExit codes:\n") + exitCodeTable();
        return out;
    }
    if (p.isSet(version)) {
        out.what = ParsedArguments::What::Version;
        return out;
    }

    QStringList positional = p.positionalArguments();
    if (positional.isEmpty())
        return usage(QStringLiteral("no command given; see --help"));
    const QString name = positional.takeFirst();
    const auto shape = commandShapes().constFind(name);
    if (shape == commandShapes().constEnd())
        return usage(QStringLiteral("unknown command \"%1\"; see --help").arg(name));
    if (positional.size() < shape->minArgs ||
        (shape->maxArgs >= 0 && positional.size() > shape->maxArgs))
        return usage(QStringLiteral("wrong number of arguments for \"%1\"; see --help").arg(name));
    CliRequest& r = out.request;
    r.command = shape->command;
    r.args = positional;

    if (p.isSet(udp) == p.isSet(serial))
        return usage(QStringLiteral("give exactly one link: --udp HOST[:PORT] or --serial PATH"));
    if (p.values(udp).size() > 1 || p.values(serial).size() > 1)
        return usage(QStringLiteral("give the link once"));
    if (const auto wrong = p.isSet(udp) ? parseUdpLink(p.value(udp), r.link)
                                        : parseSerialLink(p.value(serial), r.link))
        return usage(*wrong);
    if (p.isSet(localPort)) {
        if (r.link.kind != LinkSpec::Kind::Udp)
            return usage(QStringLiteral("--local-port belongs to --udp"));
        r.link.localPort = portNumber(p.value(localPort));
        if (!r.link.localPort)
            return usage(QStringLiteral("--local-port must be 1 to 65535"));
    }
    r.link.framed = p.isSet(framed);
    if (r.link.framed && r.link.kind != LinkSpec::Kind::Serial)
        return usage(QStringLiteral("--framed works on the serial link only"));
    if (p.isSet(frameAddr)) {
        if (!r.link.framed)
            return usage(QStringLiteral("--frame-addr belongs to --framed"));
        r.link.frameAddress = rtuAddress(p.value(frameAddr));
        if (r.link.frameAddress < 0 || r.link.frameAddress > 255)
            return usage(QStringLiteral("--frame-addr must be 0 to 255"));
    }
    if (p.isSet(viaUsb)) {
        if (r.link.framed)
            return usage(QStringLiteral("--framed and --via-usb exclude each other"));
        if (p.value(viaUsb).isEmpty())
            return usage(QStringLiteral("--via-usb needs an address"));
        r.link.viaUsb = Cp1251::toBytes(p.value(viaUsb));
        // The window greys the flash-disk panel out while its UDP gateway is on.
        if (r.link.kind == LinkSpec::Kind::Udp &&
            (r.command == Command::Put || r.command == Command::Get))
            return usage(QStringLiteral("put and get do not go through --via-usb on UDP"));
    }

    r.logPath = p.value(log);
    if (p.isSet(timeout)) {
        bool ok = false;
        const double seconds = p.value(timeout).toDouble(&ok);
        if (!ok || !std::isfinite(seconds) || seconds <= 0 || seconds > 86400)
            return usage(QStringLiteral("--timeout must be more than 0 and at most 86400"));
        r.timeoutMs = qMax(1, int(std::lround(seconds * 1000)));
    }
    if (p.isSet(quiet)) {
        bool ok = false;
        r.quietMs = p.value(quiet).toInt(&ok);
        if (!ok || r.quietMs < 1 || r.quietMs > 600000)
            return usage(QStringLiteral("--quiet-ms must be 1 to 600000"));
    }
    r.stats = p.isSet(stats);
    r.hex = p.isSet(hex);
    if (r.hex && r.command != Command::Monitor)
        return usage(QStringLiteral("--hex belongs to monitor"));

    const QList<QCommandLineOption> modbusOnly{addrParam, addrParamDec, qty,   qtyDec,
                                               data,      ascii,        noCrc, crlf};
    if (r.command != Command::Modbus) {
        for (const QCommandLineOption& o : modbusOnly) {
            if (p.isSet(o))
                return usage(QStringLiteral("--%1 belongs to modbus").arg(o.names().first()));
        }
        out.what = ParsedArguments::What::Run;
        return out;
    }
    ModbusArgs m;
    m.address = r.args.at(0);
    m.function = r.args.at(1);
    if (p.isSet(addrParam))
        m.addrParam = p.value(addrParam);
    m.addrParamDecimal = p.isSet(addrParamDec);
    if (p.isSet(qty))
        m.quantity = p.value(qty);
    m.quantityDecimal = p.isSet(qtyDec);
    if (p.isSet(data))
        m.hexData = p.value(data);
    if (p.isSet(ascii))
        m.asciiData = p.value(ascii);
    m.noCrc = p.isSet(noCrc);
    m.crlf = p.isSet(crlf);
    if ((m.addrParamDecimal && !m.addrParam) || (m.quantityDecimal && !m.quantity))
        return usage(QStringLiteral("--addr-param-dec and --qty-dec need their field"));
    const Expected<QByteArray> frame = buildModbusFrame(m);
    if (!frame)
        return usage(frame.failure().description);
    r.modbusFrame = *frame;
    out.what = ParsedArguments::What::Run;
    return out;
}
