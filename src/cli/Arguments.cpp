#include "cli/CliRequest.h"

#include "cli/ExitCode.h"
#include "cli/ModbusArgs.h"
#include "core/Cp1251.h"
#include "link/Gateway.h"
#include "link/HostEntry.h"
#include "link/PortChoice.h"

#include <QCommandLineParser>
#include <cmath>

namespace {

constexpr unsigned bit(Command c) {
    return 1u << unsigned(c);
}
constexpr unsigned EveryCommand = ~0u;
constexpr unsigned Transferring = bit(Command::Upload) | bit(Command::Download) |
                                  bit(Command::Verify) | bit(Command::Put) | bit(Command::Get);
// Commands that end with a result a script may want as data, and those that print board text.
constexpr unsigned Summed =
    Transferring | bit(Command::New) | bit(Command::Status) | bit(Command::Modbus);
constexpr unsigned Printing = bit(Command::Send) | bit(Command::New) | bit(Command::Status) |
                              bit(Command::Upload) | bit(Command::Put) | bit(Command::Get) |
                              bit(Command::Monitor);

// One command: how it is called, its page, and the example both help texts show. Every example
// runs against the bundled simulator as it stands (the tests run them).
struct CommandPage {
    const char* name;
    Command command;
    int minArgs;
    int maxArgs; // -1: any number
    const char* synopsis;
    const char* summary; // one line for the whole page
    const char* text;    // the command's own page
    const char* example; // after "brenmoor-cli "
};

const QList<CommandPage>& commandPages() {
    static const QList<CommandPage> pages{
        {"send", Command::Send, 1, -1, "LINE...", "send command lines, print the answers",
         "Sends each command line as the window's command line does and prints the board's\n"
         "answer, up to its OK or ERROR or --quiet-ms of silence. ERROR ends the run (exit 4).\n"
         "--timestamps puts the time and the reply time in front of each answer line.",
         "--udp 192.168.0.100 send --timestamps \"PRINT 42\" LIST"},
        {"upload", Command::Upload, 1, 1, "FILE.bas", "the paced BASIC program upload",
         "Sends the program a line at a time, each released by the board's OK, as the window's\n"
         "Download button does. An ERROR stops the run and names the file's line number and\n"
         "text (exit 4). The lines join the board's program: run new first for a clean one.",
         "--serial /dev/ttyUSB0:115200 upload blink.bas"},
        {"download", Command::Download, 1, 1, "FILE.bas", "the board's listing into a file",
         "Lists the board's program into FILE.bas byte for byte. A run that does not finish\n"
         "leaves FILE.bas as it was and what came in FILE.bas.part.",
         "--udp 192.168.0.100 download saved.bas"},
        {"verify", Command::Verify, 1, 1, "FILE.bas", "compare the board's listing with a file",
         "Reads the board's listing as download does and compares it, line by line, with\n"
         "FILE.bas as the board stores it: CR LF, a lone CR or LF end a line, and up to three\n"
         "leading zeros are dropped, as upload sends it. Exit 0 when they are equal; exit 4\n"
         "when not, with the first line that differs (its number and both texts) on stderr.",
         "--udp 192.168.0.100 verify blink.bas"},
        {"new", Command::New, 0, 0, "", "erase the board's program",
         "Erases the board's program (NEW) and prints the answer.", "--udp 192.168.0.100 new"},
        {"status", Command::Status, 0, 0, "", "print the board's status",
         "Asks the board for its status (STATUS) and prints the answer.", "--serial COM3 status"},
        {"put", Command::Put, 1, 2, "LOCAL [NAME]", "copy a file to the flash disk",
         "Copies a local file of any content to the board's flash disk as NAME (LOCAL's file\n"
         "name by default), in the window's hex pieces, and closes it.",
         "--udp 192.168.0.100 put data.bin DATA.BIN"},
        {"get", Command::Get, 2, 2, "NAME LOCAL", "copy a flash-disk file here",
         "Copies the flash-disk file NAME into LOCAL. A run that does not finish sends CLOSE,\n"
         "leaves LOCAL as it was and what came in LOCAL.part.",
         "--udp 192.168.0.100 get DATA.BIN copy.bin"},
        {"modbus", Command::Modbus, 2, 2, "ADDR FUNC", "one MODBUS RTU request and its reply",
         "Builds a MODBUS RTU request as the builder panel does (ADDR and FUNC in hex, \"\"\n"
         "leaves a byte out), sends it past any gateway, and prints the reply parsed, with the\n"
         "reply time. A MODBUS exception or a reply that does not check exits 4. Function 03\n"
         "reads --qty registers from --addr-param, 06 writes the value --qty, 10 writes the\n"
         "--data block. With --every it polls: one reading per request (with --json one object\n"
         "a line, then the summary); exit 4 if any poll was refused, else 3 if any timed out.",
         "--udp 192.168.0.100 modbus 10 03 --addr-param 5A --qty 3 --every 100 --count 5"},
        {"monitor", Command::Monitor, 0, 0, "", "print what the board sends until Ctrl+C",
         "Prints everything the board sends until Ctrl+C (exit 130) or SIGTERM (exit 143).\n"
         "--timestamps puts the time in front of each line (with --hex: each chunk).",
         "--serial /dev/ttyUSB0 monitor --hex"},
    };
    return pages;
}

const CommandPage* findPage(const QString& name) {
    for (const CommandPage& page : commandPages()) {
        if (name == QLatin1String(page.name))
            return &page;
    }
    return nullptr;
}

// One option: what QCommandLineParser takes, and which commands' pages list it.
struct OptionDoc {
    const char* name;
    const char* valueName; // empty: a switch
    const char* text;
    unsigned commands;
};

const QList<OptionDoc>& optionDocs() {
    static const QList<OptionDoc> docs{
        {"udp", "HOST[:PORT]", "The board over UDP (port 111 by default).", EveryCommand},
        {"local-port", "PORT", "Our UDP port (default: drawn from 5500-6499 as the window does).",
         EveryCommand},
        {"serial", "PATH[:SPEED]",
         "The board on a serial port, a device path or COMn (9600 baud by default).", EveryCommand},
        {"framed", "", "Serial: console-text frames (MODBUS function 0x43).", EveryCommand},
        {"frame-addr", "ADDR", "The board's address in console-text frames (default 16).",
         EveryCommand},
        {"via-usb", "ADDR", "Forward every line as \"MDC ADDR,line\" through an intermediary.",
         EveryCommand},
        {"log", "FILE",
         "Append every received chunk and every line sent to FILE, as the window's "
         "Terminal.log.",
         EveryCommand},
        {"timeout", "SECONDS", "Wait at most this long for each answer (default 5).", EveryCommand},
        {"quiet-ms", "MS", "Silence that ends an answer (default 300).", EveryCommand},
        {"quiet", "", "No progress and no summary; errors still go to stderr.", EveryCommand},
        {"json", "",
         "One JSON object on stdout sums the run up: the result, its figures, the error and "
         "the exit code.",
         Summed},
        {"raw", "", "Board text as it came; without it CR LF and a lone CR become LF.", Printing},
        {"hex", "", "Show the bytes as hex.", bit(Command::Monitor)},
        {"timestamps", "",
         "Each line of board text starts with the local time to the millisecond, and each "
         "line of a reply also with the time since the line sent (\"+12 ms\"), as the "
         "window's console shows them. Not with --raw.",
         bit(Command::Send) | bit(Command::Monitor)},
        {"stats", "", "Print the client's own time per handshake at the end (benchmarks).",
         Transferring},
        {"addr-param", "VALUE", "The data address (hex; decimal with --addr-param-dec).",
         bit(Command::Modbus)},
        {"addr-param-dec", "", "--addr-param is decimal.", bit(Command::Modbus)},
        {"qty", "VALUE", "The quantity or the value written (hex; decimal with --qty-dec).",
         bit(Command::Modbus)},
        {"qty-dec", "", "--qty is decimal.", bit(Command::Modbus)},
        {"data", "HEX", "A data block of hex pairs, sent after its length byte.",
         bit(Command::Modbus)},
        {"ascii", "TEXT", "A data block of text, sent after its length byte.",
         bit(Command::Modbus)},
        {"no-crc", "", "Leave the CRC-16 out.", bit(Command::Modbus)},
        {"crlf", "", "End the frame with CR LF (after the CRC).", bit(Command::Modbus)},
        {"every", "MS",
         "Poll: send the request every MS milliseconds (1 to 3600000); a reply that has not "
         "come when the next period starts is a timeout.",
         bit(Command::Modbus)},
        {"count", "N", "Poll N times (default 0: until Ctrl+C or SIGTERM).", bit(Command::Modbus)},
        {"csv", "FILE",
         "Poll: write every poll to FILE as the trend window's Export CSV does (time, "
         "register, value, reply time, CRC good, event).",
         bit(Command::Modbus)},
    };
    return docs;
}

const char* const Purpose =
    "Board work from scripts and CI, without a window: the same transfers, gateway formats\n"
    "and MODBUS requests as the Brenmoor window, over UDP or a serial port.";

const char* const Closing =
    "Progress goes to standard error: a bar on a terminal, plain lines otherwise. Ctrl+C\n"
    "ends a transfer cleanly: the board gets the same CLOSE the window sends, and a partly\n"
    "received file is kept and reported as partial.";

constexpr int OptionColumn = 26;
constexpr int PageWidth = 80;

// "  --name VALUE" and the text beside it, wrapped under itself.
QString optionLines(const QString& names, const QString& text) {
    QString out = QStringLiteral("  ") + names;
    QStringList words = text.split(u' ');
    out += out.size() < OptionColumn - 1 ? QString(OptionColumn - out.size(), u' ')
                                         : u'\n' + QString(OptionColumn, u' ');
    int column = OptionColumn;
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (i > 0 && column + 1 + words.at(i).size() > PageWidth) {
            out += u'\n' + QString(OptionColumn, u' ');
            column = OptionColumn;
        } else if (i > 0) {
            out += u' ';
            ++column;
        }
        out += words.at(i);
        column += int(words.at(i).size());
    }
    return out + u'\n';
}

QString optionLines(const OptionDoc& doc) {
    QString names = QStringLiteral("--") + QLatin1String(doc.name);
    if (*doc.valueName)
        names += u' ' + QLatin1String(doc.valueName);
    return optionLines(names, QString::fromLatin1(doc.text));
}

QString usageLine(const QString& command) {
    return QStringLiteral("Usage: brenmoor-cli LINK [options] %1\n"
                          "       LINK: --udp HOST[:PORT] or --serial PATH[:SPEED]\n")
        .arg(command);
}

QString synopsis(const CommandPage& page) {
    return (QLatin1String(page.name) + u' ' + QLatin1String(page.synopsis)).trimmed();
}

QString commandHelp(const CommandPage& page) {
    QString out = usageLine(synopsis(page)) + u'\n' + QString::fromLatin1(page.text) +
                  QStringLiteral("\n\nOptions:\n");
    for (const OptionDoc& doc : optionDocs()) {
        if (doc.commands & bit(page.command))
            out += optionLines(doc);
    }
    return out + QStringLiteral("\nExample:\n  brenmoor-cli ") + QLatin1String(page.example) +
           u'\n';
}

QString wholeHelp() {
    QString out = usageLine(QStringLiteral("COMMAND [ARGS...]")) + u'\n' +
                  QString::fromLatin1(Purpose) +
                  QStringLiteral("\n\nCommands (one per run; \"brenmoor-cli help COMMAND\" "
                                 "shows its page):\n");
    for (const CommandPage& page : commandPages()) {
        out += optionLines(synopsis(page), QString::fromLatin1(page.summary));
        out += QStringLiteral("    brenmoor-cli ") + QLatin1String(page.example) + u'\n';
    }
    out += QStringLiteral("\nOptions:\n") +
           optionLines(QStringLiteral("-h, --help"), QStringLiteral("This page.")) +
           optionLines(QStringLiteral("-v, --version"), QStringLiteral("The version."));
    for (const OptionDoc& doc : optionDocs())
        out += optionLines(doc);
    return out + u'\n' + QString::fromLatin1(Closing) + QStringLiteral("\n\nExit codes:\n") +
           exitCodeTable();
}

bool isDigits(const QString& text) {
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

constexpr qint64 MaxPeriodMs = 3600000;
constexpr qint64 MaxPolls = 1000000000;

// Decimal digits only, from `low` to `high`: "1e3", "-1" and "10ms" are slips.
std::optional<qint64> boundedNumber(const QString& text, qint64 low, qint64 high) {
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!isDigits(text) || text.size() > 12 || !ok || value < low || value > high)
        return std::nullopt;
    return value;
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
    if (text.count(u':') > 1)
        return QStringLiteral("--udp takes an IPv4 address; IPv6 is not supported: \"%1\"")
            .arg(text);
    // The window's host entries take the same form.
    const HostEntry entry = splitHostEntry(text);
    link.host = entry.host;
    if (entry.port) {
        const auto port = portNumber(*entry.port);
        if (!port)
            return QStringLiteral("--udp: the port must be 1 to 65535: \"%1\"").arg(text);
        link.remotePort = *port;
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
    const QCommandLineOption help = p.addHelpOption();
    const QCommandLineOption version = p.addVersionOption();
    for (const OptionDoc& doc : optionDocs())
        p.addOption(QCommandLineOption(QString::fromLatin1(doc.name), QString::fromLatin1(doc.text),
                                       QString::fromLatin1(doc.valueName)));
    const auto set = [&](const char* name) {
        return p.isSet(QString::fromLatin1(name));
    };
    const auto value = [&](const char* name) {
        return p.value(QString::fromLatin1(name));
    };

    if (!p.parse(arguments))
        return usage(p.errorText());
    QStringList positional = p.positionalArguments();
    const CommandPage* page = positional.isEmpty() ? nullptr : findPage(positional.first());
    ParsedArguments out;
    // "COMMAND --help" and "help COMMAND" give that command's page; --help alone, "help" alone
    // and --help-all (which Qt offers for its own options, none worth listing here) the whole.
    if (p.isSet(help) || p.isSet(QStringLiteral("help-all")) ||
        positional.value(0) == QLatin1String("help")) {
        if (positional.value(0) == QLatin1String("help")) {
            if (positional.size() > 2)
                return usage(QStringLiteral("help takes one command at most"));
            page = positional.size() == 2 ? findPage(positional.at(1)) : nullptr;
            if (positional.size() == 2 && !page)
                return usage(
                    QStringLiteral("unknown command \"%1\"; see --help").arg(positional.at(1)));
        }
        out.what = ParsedArguments::What::Help;
        out.message =
            page && !p.isSet(QStringLiteral("help-all")) ? commandHelp(*page) : wholeHelp();
        return out;
    }
    if (p.isSet(version)) {
        out.what = ParsedArguments::What::Version;
        return out;
    }

    if (positional.isEmpty())
        return usage(QStringLiteral("no command given; see --help"));
    const QString name = positional.takeFirst();
    if (!page)
        return usage(QStringLiteral("unknown command \"%1\"; see --help").arg(name));
    if (positional.size() < page->minArgs ||
        (page->maxArgs >= 0 && positional.size() > page->maxArgs))
        return usage(QStringLiteral("wrong number of arguments for \"%1\"; see \"brenmoor-cli "
                                    "help %1\"")
                         .arg(name));
    CliRequest& r = out.request;
    r.command = page->command;
    r.commandName = name;
    r.args = positional;
    // An option a command has no use for is a slip in the script, not something to ignore.
    for (const OptionDoc& doc : optionDocs()) {
        if (!(doc.commands & bit(r.command)) && set(doc.name))
            return usage(QStringLiteral("--%1 does not apply to %2; see \"brenmoor-cli help %2\"")
                             .arg(QLatin1String(doc.name), name));
    }

    if (set("udp") == set("serial"))
        return usage(QStringLiteral("give exactly one link: --udp HOST[:PORT] or --serial PATH"));
    if (p.values(QStringLiteral("udp")).size() > 1 || p.values(QStringLiteral("serial")).size() > 1)
        return usage(QStringLiteral("give the link once"));
    if (const auto wrong = set("udp") ? parseUdpLink(value("udp"), r.link)
                                      : parseSerialLink(value("serial"), r.link))
        return usage(*wrong);
    if (set("local-port")) {
        if (r.link.kind != LinkSpec::Kind::Udp)
            return usage(QStringLiteral("--local-port belongs to --udp"));
        r.link.localPort = portNumber(value("local-port"));
        if (!r.link.localPort)
            return usage(QStringLiteral("--local-port must be 1 to 65535"));
    }
    r.link.framed = set("framed");
    if (r.link.framed && r.link.kind != LinkSpec::Kind::Serial)
        return usage(QStringLiteral("--framed works on the serial link only"));
    if (set("frame-addr")) {
        if (!r.link.framed)
            return usage(QStringLiteral("--frame-addr belongs to --framed"));
        r.link.frameAddress = rtuAddress(value("frame-addr"));
        if (r.link.frameAddress < 0 || r.link.frameAddress > 255)
            return usage(QStringLiteral("--frame-addr must be 0 to 255"));
    }
    if (set("via-usb")) {
        if (r.link.framed)
            return usage(QStringLiteral("--framed and --via-usb exclude each other"));
        if (value("via-usb").isEmpty())
            return usage(QStringLiteral("--via-usb needs an address"));
        r.link.viaUsb = Cp1251::toBytes(value("via-usb"));
        // The window greys the flash-disk panel out while its UDP gateway is on.
        if (r.link.kind == LinkSpec::Kind::Udp &&
            (r.command == Command::Put || r.command == Command::Get))
            return usage(QStringLiteral("put and get do not go through --via-usb on UDP"));
    }

    r.logPath = value("log");
    if (set("timeout")) {
        bool ok = false;
        const double seconds = value("timeout").toDouble(&ok);
        if (!ok || !std::isfinite(seconds) || seconds <= 0 || seconds > 86400)
            return usage(QStringLiteral("--timeout must be more than 0 and at most 86400"));
        r.timeoutMs = qMax(1, int(std::lround(seconds * 1000)));
    }
    if (set("quiet-ms")) {
        bool ok = false;
        r.quietMs = value("quiet-ms").toInt(&ok);
        if (!ok || r.quietMs < 1 || r.quietMs > 600000)
            return usage(QStringLiteral("--quiet-ms must be 1 to 600000"));
    }
    r.stats = set("stats");
    r.hex = set("hex");
    r.quiet = set("quiet");
    r.json = set("json");
    r.raw = set("raw");
    if (r.raw && r.hex)
        return usage(QStringLiteral("--raw and --hex exclude each other"));
    if (r.raw && r.json)
        return usage(QStringLiteral("--raw and --json exclude each other"));
    r.timestamps = set("timestamps");
    if (r.raw && r.timestamps) // --raw promises the bytes untouched
        return usage(QStringLiteral("--raw and --timestamps exclude each other"));
    if (r.command != Command::Modbus) {
        out.what = ParsedArguments::What::Run;
        return out;
    }

    ModbusArgs m;
    m.address = r.args.at(0);
    m.function = r.args.at(1);
    if (set("addr-param"))
        m.addrParam = value("addr-param");
    m.addrParamDecimal = set("addr-param-dec");
    if (set("qty"))
        m.quantity = value("qty");
    m.quantityDecimal = set("qty-dec");
    if (set("data"))
        m.hexData = value("data");
    if (set("ascii"))
        m.asciiData = value("ascii");
    m.noCrc = set("no-crc");
    m.crlf = set("crlf");
    if ((m.addrParamDecimal && !m.addrParam) || (m.quantityDecimal && !m.quantity))
        return usage(QStringLiteral("--addr-param-dec and --qty-dec need their field"));
    const Expected<QByteArray> frame = buildModbusFrame(m);
    if (!frame)
        return usage(frame.failure().description);
    r.modbusFrame = *frame;
    if (set("every")) {
        const auto every = boundedNumber(value("every"), 1, MaxPeriodMs);
        if (!every)
            return usage(QStringLiteral("--every must be 1 to %1 (milliseconds)").arg(MaxPeriodMs));
        r.everyMs = int(*every);
    }
    if ((set("count") || set("csv")) && r.everyMs == 0)
        return usage(QStringLiteral("--count and --csv belong to --every"));
    if (set("count")) {
        const auto count = boundedNumber(value("count"), 0, MaxPolls);
        if (!count)
            return usage(QStringLiteral("--count must be 0 to %1").arg(MaxPolls));
        r.count = *count;
    }
    r.csvPath = value("csv");
    if (set("csv") && r.csvPath.isEmpty())
        return usage(QStringLiteral("--csv needs a file name"));
    out.what = ParsedArguments::What::Run;
    return out;
}
