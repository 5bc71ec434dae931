// brenmoor-board: a stand-in for a networked board running the BASIC firmware, so the
// terminal can be tried and tested without hardware.
#include "board/BoardSimulator.h"
#include "core/EventLoopChoice.h"
#include "core/SignalPipe.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <csignal>

namespace {

bool parseHostPort(const QString& text, QHostAddress* host, quint16* port) {
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    bool ok = false;
    const uint value = text.mid(colon + 1).toUInt(&ok);
    QString address = text.left(colon);
    if (address.startsWith(QLatin1Char('[')) && address.endsWith(QLatin1Char(']')))
        address = address.mid(1, address.size() - 2);
    if (!ok || value > 65535 || !host->setAddress(address))
        return false;
    *port = quint16(value);
    return true;
}

bool parseCount(const QString& text, int min, int max, int* value) {
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < min || n > max)
        return false;
    *value = n;
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    useTimerFairEventLoop(); // its delayed replies keep their time while it is flooded too
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("brenmoor-board"));
    QCoreApplication::setApplicationVersion(QStringLiteral(BRENMOOR_VERSION));
    // Ctrl-C ends the event loop normally, so the pty link gets removed on the way out.
    SignalPipe signalPipe({SIGINT, SIGTERM});
    QObject::connect(&signalPipe, &SignalPipe::raised, &app, &QCoreApplication::quit);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulates a networked board running the BASIC firmware, over UDP and a\n"
        "pseudo-terminal at once. Both links share one program, flash disk and\n"
        "register bank. Lines end in CR, LF or CR LF; an empty line gets no reply.\n"
        "\n"
        "MODBUS holding registers 0..99 (functions 03, 06, 16) at --modbus-addr. Three\n"
        "change with time, for a polled plot (writes to them are ignored):\n"
        "  90  counter: tenths of a second since the start, 0..999, round every 100 s\n"
        "  91  slow sine: 500 + 400 sin(2 pi t / 30 s), 100..900\n"
        "  92  noisy value: 500 + 100 sin(2 pi t / 47 s), plus up to +-60 at every read\n"
        "Example: address 10 hex, function 3, Addr Param 5A hex, Qty 3."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption udp(QStringLiteral("udp"),
                                 QStringLiteral("Listen for UDP on HOST:PORT (default "
                                                "127.0.0.1:111; port 0 picks a free one)."),
                                 QStringLiteral("HOST:PORT"), QStringLiteral("127.0.0.1:111"));
    const QCommandLineOption noUdp(QStringLiteral("no-udp"),
                                   QStringLiteral("Do not listen on UDP."));
    const QCommandLineOption noPty(QStringLiteral("no-pty"),
                                   QStringLiteral("Do not create a pseudo-terminal."));
    const QCommandLineOption ptyLink(
        QStringLiteral("pty-link"),
        QStringLiteral("Make PATH a symlink to the pseudo-terminal, to type into the port box."),
        QStringLiteral("PATH"));
    const QCommandLineOption disk(
        QStringLiteral("disk"),
        QStringLiteral("Keep the flash disk's files in DIR instead of in memory (1 MiB cap)."),
        QStringLiteral("DIR"));
    const QCommandLineOption address(
        QStringLiteral("modbus-addr"),
        QStringLiteral("The board's MODBUS and console-frame address (default 16)."),
        QStringLiteral("ADDR"), QStringLiteral("16"));
    const QCommandLineOption login(QStringLiteral("login"),
                                   QStringLiteral("Answer every LIST with a \"Login:\" prompt."));
    const QCommandLineOption drop(QStringLiteral("drop"),
                                  QStringLiteral("Lose every Nth reply chunk (0 keeps all)."),
                                  QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption delay(QStringLiteral("delay"),
                                   QStringLiteral("Hold each reply MS milliseconds."),
                                   QStringLiteral("MS"), QStringLiteral("0"));
    const QCommandLineOption chunk(
        QStringLiteral("chunk"),
        QStringLiteral("Cut replies into datagrams or serial writes: \"line\" (one per line, "
                       "default), \"whole\" (one per reply) or a byte count N."),
        QStringLiteral("line|whole|N"), QStringLiteral("line"));
    const QCommandLineOption split(
        QStringLiteral("split"),
        QStringLiteral("Cut every reply chunk in two, the second piece --split-gap ms later: "
                       "after byte N, or \"mid\" (the middle, inside a hex pair)."),
        QStringLiteral("N|mid"));
    const QCommandLineOption splitGap(QStringLiteral("split-gap"),
                                      QStringLiteral("Pause between the two pieces (default 45)."),
                                      QStringLiteral("MS"), QStringLiteral("45"));
    parser.addOptions(
        {udp, noUdp, noPty, ptyLink, disk, address, login, drop, delay, chunk, split, splitGap});
    parser.process(app);

    QTextStream err(stderr);
    board::BoardOptions options;
    options.udpEnabled = !parser.isSet(noUdp);
    options.ptyEnabled = !parser.isSet(noPty);
    options.ptyLink = parser.value(ptyLink);
    options.diskDir = parser.value(disk);
    options.login = parser.isSet(login);
    int modbusAddr = 16;
    if (!parseHostPort(parser.value(udp), &options.udpHost, &options.udpPort)) {
        err << "brenmoor-board: --udp wants HOST:PORT, e.g. 127.0.0.1:1111\n";
        return 2;
    }
    if (!parseCount(parser.value(address), 1, 247, &modbusAddr) ||
        !parseCount(parser.value(drop), 0, 1000000, &options.dropEvery) ||
        !parseCount(parser.value(delay), 0, 600000, &options.delayMs) ||
        !board::parseChunkMode(parser.value(chunk), &options.chunkMode, &options.chunkBytes) ||
        (parser.isSet(split) && !board::parseSplit(parser.value(split), &options.splitAt)) ||
        !parseCount(parser.value(splitGap), 0, 600000, &options.splitGapMs)) {
        err << "brenmoor-board: bad --modbus-addr, --drop, --delay, --chunk, --split or "
               "--split-gap value; see --help\n";
        return 2;
    }
    options.modbusAddr = quint8(modbusAddr);

    board::BoardSimulator simulator(options);
    QString error;
    if (!simulator.start(&error)) {
        err << "brenmoor-board: " << error << '\n';
        return 1;
    }
    QTextStream out(stdout);
    if (simulator.udpPort() != 0)
        out << "udp: " << options.udpHost.toString() << ':' << simulator.udpPort() << '\n';
    if (!simulator.ptyPath().isEmpty()) {
        out << "pty: " << simulator.ptyPath() << '\n';
        if (!options.ptyLink.isEmpty())
            out << "pty-link: " << options.ptyLink << '\n';
    }
    out.flush();
    return app.exec();
}
