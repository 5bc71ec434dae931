// brenmoor-cli's own time per handshake, against the board simulator over loopback UDP: a
// 2,000-line upload and a 100 KB put and get. The client measures itself (--stats): from the
// moment a reply's last byte was read to the moment the next command was handed to the socket,
// the protocol's pauses left out. Run: bench_cli [runs]
#include "board/BoardSimulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

namespace {

struct Run {
    int exitCode = -1;
    qint64 wallMs = 0;
    QByteArray stats;
};

Run runCli(const QStringList& arguments) {
    QProcess process;
    process.setProgram(QStringLiteral(BRENMOOR_CLI_PATH));
    process.setArguments(arguments);
    QEventLoop loop; // the simulator lives on this thread and must keep answering
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QElapsedTimer wall;
    wall.start();
    process.start();
    loop.exec();
    Run run;
    run.wallMs = wall.elapsed();
    run.exitCode = process.exitCode();
    for (const QByteArray& line : process.readAllStandardError().split('\n')) {
        if (line.contains("handshakes:"))
            run.stats = line.mid(line.indexOf("handshakes:"));
    }
    return run;
}

void report(const char* what, const Run& run) {
    std::printf("%-22s exit %d  wall %6lld ms  %s\n", what, run.exitCode,
                static_cast<long long>(run.wallMs), run.stats.constData());
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? qMax(1, QByteArray(argv[1]).toInt()) : 3;
    board::BoardOptions options;
    options.udpPort = 0;
    options.ptyEnabled = false;
    board::BoardSimulator board(options);
    QString why;
    if (!board.start(&why)) {
        std::fprintf(stderr, "bench_cli: %s\n", qPrintable(why));
        return 1;
    }
    QTemporaryDir dir;
    QByteArray program;
    for (int n = 1; n <= 2000; ++n)
        program += QByteArray::number(n) + " PRINT \"line " + QByteArray::number(n) + "\"\r\n";
    QByteArray data(100000, Qt::Uninitialized);
    for (int i = 0; i < data.size(); ++i)
        data[i] = char((i * 7 + i / 256) & 0xFF);
    for (const auto& [name, bytes] : {std::pair{"p.bas", program}, std::pair{"d.bin", data}}) {
        QFile file(dir.filePath(QLatin1String(name)));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return 1;
    }
    const QStringList link{QStringLiteral("--udp"),
                           QStringLiteral("127.0.0.1:%1").arg(board.udpPort()),
                           QStringLiteral("--stats")};
    for (int i = 0; i < runs; ++i) {
        report("upload 2000 lines",
               runCli(link + QStringList{QStringLiteral("upload"), dir.filePath("p.bas")}));
        report("put 100000 bytes",
               runCli(link + QStringList{QStringLiteral("put"), dir.filePath("d.bin"), "D.BIN"}));
        const Run get =
            runCli(link + QStringList{QStringLiteral("get"), "D.BIN", dir.filePath("back.bin")});
        QFile back(dir.filePath(QStringLiteral("back.bin")));
        const bool same = back.open(QIODevice::ReadOnly) && back.readAll() == data;
        report(same ? "get 100000 bytes" : "get 100000 (DIFFERS)", get);
    }
    return 0;
}
