// Receive-path benchmark: a flood of 64-byte datagrams over loopback into (1) a plain recv()
// loop and (2) the real window with its log and console on, then the cost of one console
// append at two console sizes. Run through bench/run.sh.
//
//   bench_receive [datagrams] [window]
//
// The sender never runs more than `window` datagrams ahead of what the receiver has taken
// (for the window: what reached Terminal.log), so a datagram the kernel drops because the
// receiver fell behind is a loss of the receiver, not of an unfair sender.
#include "TestSupport.h"
#include "core/EventLoopChoice.h"
#include "link/UdpPeer.h"

#include "app/TerminalWindow.h"
#include "console/ConsoleModel.h"
#include "console/ConsoleView.h"
#include "link/BoardLink.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QUdpSocket>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int DatagramBytes = 64;

QByteArray payload(qint64 seq) {
    QByteArray d = QByteArray::number(seq).rightJustified(10, '0') + ' ';
    while (d.size() < DatagramBytes - 2)
        d += char('A' + d.size() % 26);
    return d + "\r\n";
}

struct Flood {
    qint64 sent = 0;
    qint64 taken = 0;    // what the receiver had taken when the sender gave up waiting
    double sendSecs = 0; // first to last sendto()
    double takeSecs = 0; // first sendto() to the last datagram taken
};

// Sends n datagrams to 127.0.0.1:port, at most `window` ahead of progress().
Flood flood(quint16 port, qint64 n, qint64 window, const std::function<qint64()>& progress) {
    Flood f;
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::vector<QByteArray> data;
    data.reserve(size_t(n));
    for (qint64 i = 0; i < n; ++i)
        data.push_back(payload(i));

    QElapsedTimer clock;
    clock.start();
    while (f.sent < n) {
        const qint64 ahead = f.sent - progress();
        if (ahead >= window) {
            std::this_thread::sleep_for(std::chrono::microseconds(50));
            continue;
        }
        const qint64 burst = std::min(n - f.sent, window - ahead);
        for (qint64 i = 0; i < burst; ++i, ++f.sent) {
            const QByteArray& d = data[size_t(f.sent)];
            ::sendto(fd, d.constData(), size_t(d.size()), 0, reinterpret_cast<sockaddr*>(&to),
                     sizeof to);
        }
    }
    f.sendSecs = double(clock.nsecsElapsed()) / 1e9;
    qint64 last = -1;
    QElapsedTimer idle;
    idle.start();
    while ((f.taken = progress()) < n) {
        if (f.taken != last) {
            last = f.taken;
            f.takeSecs = double(clock.nsecsElapsed()) / 1e9;
            idle.restart();
        } else if (idle.elapsed() > 2000) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    if (f.taken == n)
        f.takeSecs = double(clock.nsecsElapsed()) / 1e9;
    ::close(fd);
    return f;
}

void report(const char* what, qint64 n, const Flood& f) {
    std::printf("%-8s sent %lld at %.0f datagrams/s; taken %lld at %.0f datagrams/s; lost %lld\n",
                what, qlonglong(f.sent), double(f.sent) / f.sendSecs, qlonglong(f.taken),
                double(f.taken) / f.takeSecs, qlonglong(n - f.taken));
}

double plainLoop(qint64 n, qint64 window) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    const int bufferBytes = 4 * 1024 * 1024;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &bufferBytes, sizeof bufferBytes);
    timeval timeout{0, 200 * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof at;
    ::bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&at), &len);

    std::atomic<qint64> count{0};
    std::atomic<bool> done{false};
    Flood f;
    std::thread sender([&] {
        f = flood(ntohs(at.sin_port), n, window,
                  [&] { return count.load(std::memory_order_relaxed); });
        done = true;
    });
    char buffer[65536];
    while (!done) {
        if (::recv(fd, buffer, sizeof buffer, 0) >= 0)
            count.fetch_add(1, std::memory_order_relaxed);
    }
    sender.join();
    ::close(fd);
    report("recv()", n, f);
    return double(f.taken) / f.takeSecs;
}

double windowFlood(qint64 n, qint64 window) {
    WorkDir dir;
    ScriptedDialogs dialogs;
    TerminalWindow w(&dialogs);
    w.show();
    QUdpSocket board;
    board.bind(QHostAddress::LocalHost, 0);
    if (!connectWindow(w, board.localPort())) {
        std::printf("window: Connect failed\n");
        return 0;
    }
    QCoreApplication::processEvents();
    const QByteArray logPath = QFile::encodeName(dir.file(QStringLiteral("Terminal.log")));
    struct stat st {};
    ::stat(logPath.constData(), &st);
    const qint64 base = st.st_size;

    // The longest gap between ticks of a 1 ms timer while the flood runs: how long the loop ran
    // nothing else, to within a millisecond.
    QElapsedTimer gapClock;
    qint64 lastTick = 0;
    qint64 longestGap = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = gapClock.nsecsElapsed();
        longestGap = std::max(longestGap, now - lastTick);
        lastTick = now;
    });
    std::atomic<bool> done{false};
    Flood f;
    std::thread sender([&] {
        f = flood(w.link().localPort(), n, window, [&] {
            struct stat now {};
            ::stat(logPath.constData(), &now);
            return qint64(now.st_size - base) / DatagramBytes;
        });
        done = true;
    });
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done)
            loop.quit();
    });
    gapClock.start();
    tick.start(1);
    poll.start(20);
    loop.exec();
    tick.stop();
    sender.join();
    report("window", n, f);

    // Every datagram in the log, whole and in order.
    QFile log(QString::fromLocal8Bit(logPath));
    log.open(QIODevice::ReadOnly);
    log.seek(base);
    const QByteArray got = log.readAll();
    qint64 intact = 0;
    while (intact < n && got.mid(intact * DatagramBytes, DatagramBytes) == payload(intact))
        ++intact;
    std::printf("window   log holds %lld of %lld datagrams intact and in order\n",
                qlonglong(intact), qlonglong(n));
    std::printf("window   longest event-loop gap during the flood: %.1f ms (timer 1 ms)\n",
                double(longestGap) / 1e6);
    return double(f.taken) / f.takeSecs;
}

// Microseconds per chunk appended to the model and shown by the view, starting at `size`.
double appendCost(ConsoleModel& model, ConsoleView& view, qsizetype size) {
    const QByteArray chunk = payload(0);
    QByteArray fill;
    while (fill.size() < size)
        fill += payload(fill.size());
    fill.truncate(size);
    constexpr int Appends = 100;
    std::vector<double> rounds;
    for (int r = 0; r < 7; ++r) {
        model.clear();
        model.append(fill);
        view.sync();
        QCoreApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < Appends; ++i) {
            model.append(chunk);
            view.sync();
        }
        rounds.push_back(double(clock.nsecsElapsed()) / 1e3 / Appends);
    }
    std::sort(rounds.begin(), rounds.end());
    return rounds[rounds.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // figures show up as they are measured
    useTimerFairEventLoop();                  // as the programs do
    QApplication app(argc, argv);
    const qint64 n = argc > 1 ? QByteArray(argv[1]).toLongLong() : 200000;
    const qint64 window = argc > 2 ? QByteArray(argv[2]).toLongLong() : 1024;
    std::printf("%lld datagrams of %d bytes, sender at most %lld ahead\n", qlonglong(n),
                DatagramBytes, qlonglong(window));

    const double plain = plainLoop(n, window);
    const double program = windowFlood(n, window);
    std::printf("window rate / recv() rate: %.2f\n", program / plain);

    ConsoleModel model;
    QPlainTextEdit edit;
    edit.setReadOnly(true);
    edit.resize(580, 536);
    edit.show();
    ConsoleView view(&model, &edit);
    const double small = appendCost(model, view, 1024);
    const double large = appendCost(model, view, 40 * 1024);
    std::printf("console append + view sync: %.2f us at 1 KB, %.2f us at 40 KB (ratio %.2f)\n",
                small, large, large / small);
    return 0;
}
