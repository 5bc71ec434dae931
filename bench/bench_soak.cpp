// Soak: numbered datagrams of 64 to 1,400 bytes at a steady rate into the real window (offscreen,
// log and console on; with --boxes also the hex monitor and the MODBUS parser) for a while.
// Prints the memory at start and end, the kernel's drop count for the window's socket, the
// worst event-loop stall, and whether Terminal.log holds every datagram whole and in order.
// With --watch it also watches for the machine's own pauses and says how much of each stall
// over 20 ms they cover. Run through bench/soak.sh.
//
//   bench_soak SECONDS RATE [--boxes] [--watch]
#include "MachinePauses.h"
#include "ResidentSize.h"
#include "TestSupport.h"
#include "core/EventLoopChoice.h"
#include "link/UdpPeer.h"

#include "app/TerminalWindow.h"
#include "link/BoardLink.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTimer>
#include <QUdpSocket>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// Datagram n: its number, then bytes that follow from it, 64 to 1,400 in all, CR LF at the end.
// Cut from a ready run of the alphabet, so the sender thread stays cheap beside the window it
// measures: the two share this machine's cores.
QByteArray datagram(qint64 n) {
    static const QByteArray alphabet = [] {
        QByteArray run;
        for (int i = 0; i < 1400 + 26; ++i)
            run += char('A' + i % 26);
        return run;
    }();
    QRandomGenerator sizes(quint32(n) * 2654435761u);
    const int size = sizes.bounded(64, 1401);
    QByteArray d;
    d.reserve(size);
    d += QByteArray::number(n).rightJustified(10, '0') + ' ';
    // The byte at offset i is 'A' + (n + i) % 26.
    d += QByteArrayView(alphabet).sliced((n + d.size()) % 26, size - 2 - d.size());
    return d + "\r\n";
}

// The kernel's count of datagrams it dropped for the socket bound to `port`.
qint64 kernelDrops(quint16 port) {
    QFile udp(QStringLiteral("/proc/net/udp"));
    udp.open(QIODevice::ReadOnly);
    const QByteArray local = ':' + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    for (const QByteArray& line : udp.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 12 && fields.at(1).endsWith(local))
            return fields.last().toLongLong();
    }
    return -1;
}

// Sends `count` datagrams at `rate` a second, in bursts every millisecond.
void send(quint16 port, qint64 count, int rate, std::atomic<qint64>& sent,
          std::atomic<qint64>& sentBytes) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const qint64 start = monotonicNs();
    for (qint64 n = 0; n < count; ++n) {
        const qint64 due = start + n * 1000000000LL / rate;
        if (monotonicNs() < due - 1000000) {
            const timespec at{time_t(due / 1000000000LL), long(due % 1000000000LL)};
            ::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr);
        }
        const QByteArray d = datagram(n);
        ::sendto(fd, d.constData(), size_t(d.size()), 0, reinterpret_cast<sockaddr*>(&to),
                 sizeof to);
        sentBytes += d.size();
        sent = n + 1;
    }
    ::close(fd);
}

// The gaps between a timer's ticks (monotonic ns): the longest, when it ended, and each one over
// 10 ms with the CPU the loop ran on at its two ends (only those: the list is in the memory
// measured).
struct Gaps {
    struct Gap {
        qint64 from;
        qint64 to;
        int cpuBefore;
        int cpuAfter;
    };
    qint64 last = monotonicNs();
    int lastCpu = ::sched_getcpu();
    qint64 worst = 0;
    qint64 worstAt = 0;
    QList<Gap> over10;
    qsizetype over20 = 0;
    void tick() {
        const qint64 now = monotonicNs();
        const int cpu = ::sched_getcpu();
        if (now - last > 10000000)
            over10.append({last, now, lastCpu, cpu});
        if (now - last > 20000000)
            ++over20;
        if (now - last > worst) {
            worst = now - last;
            worstAt = now;
        }
        last = now;
        lastCpu = cpu;
    }
};

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    useTimerFairEventLoop(); // as the programs do
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? QByteArray(argv[1]).toInt() : 180;
    const int rate = argc > 2 ? QByteArray(argv[2]).toInt() : 20000;
    const QByteArrayList flags = QByteArrayList(argv + std::min(argc, 3), argv + argc);
    const bool boxes = flags.contains("--boxes");
    std::unique_ptr<MachinePauses> machine;

    WorkDir dir;
    ScriptedDialogs dialogs;
    TerminalWindow w(&dialogs);
    w.show();
    QUdpSocket board;
    board.bind(QHostAddress::LocalHost, 0);
    connectWindow(w, board.localPort());
    if (boxes) {
        w.hexEnableCheck->setChecked(true);
        w.parserEnableCheck->setChecked(true);
    }
    const quint16 port = w.link().localPort();
    QFile log(dir.file(QStringLiteral("Terminal.log")));
    log.open(QIODevice::ReadOnly);
    const qint64 logStart = log.size();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const qint64 memoryStart = residentKb();
    const qint64 dropsStart = kernelDrops(port);
    std::printf("soak: %d s at %d datagrams/s of 64..1400 bytes%s; port %u\n", seconds, rate,
                boxes ? ", hex monitor and parser on" : "", port);
    std::printf("memory at start: %lld kB\n", qlonglong(memoryStart));

    // A stall is the longest gap between ticks of a 1 ms timer: the time the loop ran nothing
    // else, to within a millisecond. The gap between ticks of a 10 ms timer, which earlier
    // soaks reported, counts up to 10 ms of the loop's idle waiting as well.
    if (flags.contains("--watch"))
        machine = std::make_unique<MachinePauses>();
    const qint64 start = monotonicNs();
    Gaps fine;
    Gaps coarse;
    QTimer fineTick;
    QTimer coarseTick;
    for (QTimer* t : {&fineTick, &coarseTick})
        t->setTimerType(Qt::PreciseTimer);
    QObject::connect(&fineTick, &QTimer::timeout, [&] { fine.tick(); });
    QObject::connect(&coarseTick, &QTimer::timeout, [&] { coarse.tick(); });
    const qint64 count = qint64(seconds) * rate;
    std::atomic<qint64> sent{0};
    std::atomic<qint64> sentBytes{0};
    std::atomic<bool> done{false};
    std::thread sender([&] {
        send(port, count, rate, sent, sentBytes);
        done = true;
    });
    QEventLoop loop;
    QTimer report;
    int minute = 0;
    QElapsedTimer sinceDone;
    QObject::connect(&report, &QTimer::timeout, [&] {
        // Done when the log holds all that was sent, or a while after the sender stopped.
        if (done && !sinceDone.isValid())
            sinceDone.start();
        if (done && (log.size() - logStart >= sentBytes || sinceDone.elapsed() > 3000))
            loop.quit();
        if ((monotonicNs() - start) / 60000000000LL > minute) {
            minute = int((monotonicNs() - start) / 60000000000LL);
            std::printf("after %d min: memory %lld kB, kernel drops %lld, worst stall %.1f ms\n",
                        minute, qlonglong(residentKb()), qlonglong(kernelDrops(port) - dropsStart),
                        double(fine.worst) / 1e6);
        }
    });
    fineTick.start(1);
    coarseTick.start(10);
    report.start(100);
    loop.exec();
    fineTick.stop();
    coarseTick.stop();
    sender.join();

    const qint64 memoryEnd = residentKb();
    const qint64 drops = kernelDrops(port) - dropsStart;
    log.seek(logStart);
    const QByteArray got = log.readAll();
    qint64 intact = 0;
    qsizetype at = 0;
    while (intact < count) {
        const QByteArray d = datagram(intact);
        if (got.mid(at, d.size()) != d)
            break;
        at += d.size();
        ++intact;
    }
    std::printf("sent %lld datagrams; Terminal.log holds %lld of them whole and in order%s\n",
                qlonglong(sent.load()), qlonglong(intact),
                at == got.size() ? "" : ", then other bytes");
    std::printf("memory at end: %lld kB (start %lld kB)\n", qlonglong(memoryEnd),
                qlonglong(memoryStart));
    std::printf("kernel drops: %lld\n", qlonglong(drops));
    std::printf("worst event-loop stall: %.1f ms (timer 1 ms), %.1f s into the soak; "
                "%lld gaps over 20 ms\n",
                double(fine.worst) / 1e6, double(fine.worstAt - start) / 1e9,
                qlonglong(fine.over20));
    std::printf("worst gap between ticks of a 10 ms timer: %.1f ms; %lld over 20 ms\n",
                double(coarse.worst) / 1e6, qlonglong(coarse.over20));
    if (machine) {
        machine->stop();
        const QList<MachinePauses::Pause> pauses = machine->pauses();
        qint64 longest = 0;
        for (const MachinePauses::Pause& p : pauses)
            longest = std::max(longest, p.to - p.from);
        std::printf("machine pauses (a real-time thread per CPU woke over 3 ms late%s): %lld, "
                    "longest %.1f ms\n",
                    machine->realTime() ? "" : "; real-time priority refused, so not proof",
                    qlonglong(pauses.size()), double(longest) / 1e6);
        // How long the program itself held the loop: each gap less the pause inside it.
        qint64 worstRest = 0;
        for (const Gaps::Gap& g : fine.over10) {
            const qint64 cover = machine->longestCover(g.from, g.to, {g.cpuBefore, g.cpuAfter});
            worstRest = std::max(worstRest, g.to - g.from - cover);
            if (g.to - g.from <= 20000000)
                continue;
            std::printf("  stall of %.1f ms at %.1f s on CPU %d..%d: a machine pause covers "
                        "%.1f ms of it, the rest is %.1f ms\n",
                        double(g.to - g.from) / 1e6, double(g.to - start) / 1e9, g.cpuBefore,
                        g.cpuAfter, double(cover) / 1e6, double(g.to - g.from - cover) / 1e6);
        }
        // A gap of 10 ms or less is not kept, so below that the figure is a bound.
        if (worstRest >= 10000000)
            std::printf("worst stall less the machine's pause inside it: %.1f ms\n",
                        double(worstRest) / 1e6);
        else
            std::printf("worst stall less the machine's pause inside it: at most 10 ms (gaps over "
                        "10 ms less their pause: at most %.1f ms)\n",
                        double(std::max<qint64>(worstRest, 0)) / 1e6);
    }
    return intact == count && drops == 0 ? 0 : 1;
}
