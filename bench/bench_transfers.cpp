// Transfer benchmark: the real window (offscreen) against the in-process board simulator over
// loopback UDP. Uploads a 2,000-line program and lists it back into a file, then sends and
// receives a 100 KB file through the flash disk. Run through bench/run-transfers.sh.
//
//   bench_transfers [program lines] [file bytes]
//
// "Handshake" is one board reply and everything the window does with it: the hex monitor,
// the router, the transfer's reply handler and the next command it sends (reading the datagram
// and logging it is the receive path, measured by bench_receive). Only that time is counted;
// the board's own work and the start pause of the click are not (the board runs on the same thread,
// between the window's handlers).
#include "TestSupport.h"
#include "core/EventLoopChoice.h"
#include "link/UdpPeer.h"

#include "board/BoardSimulator.h"
#include "core/TerminalState.h"
#include "form/TextProgressBar.h"
#include "link/BoardLink.h"
#include "transfer/Transfers.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Times every call of the window's datagram handler while a transfer runs.
class HandlerClock {
public:
    explicit HandlerClock(TerminalWindow& w) : w_(w) {
        // Per datagram the link hands the raw chunk on (the hex monitor), then the board text
        // to the router, which hands the reply to the transfer, which carries its actions out
        // (file, console, log, the next command on the socket). Timed from the raw chunk's
        // hand-over to the end of the router's work: these handlers run after the window's.
        BoardLink& link = w.link();
        QObject::connect(&link, &BoardLink::received, [this] { clock_.start(); });
        QObject::connect(&link, &BoardLink::boardText, [this] {
            samples_.push_back(clock_.nsecsElapsed());
            if (done_ && done_())
                loop_.quit();
        });
    }

    // Starts the transfer and runs the event loop until `done` holds after a handler.
    bool run(const char* what, const std::function<void()>& start,
             const std::function<bool()>& done) {
        samples_.clear();
        done_ = done;
        QElapsedTimer wall;
        wall.start();
        start();
        QTimer::singleShot(600000, &loop_, [this] { loop_.exit(1); });
        const bool ok = done() || loop_.exec() == 0;
        const double wallMs = wall.nsecsElapsed() / 1e6;
        done_ = nullptr;
        report(what, wallMs);
        return ok;
    }

private:
    void report(const char* what, double wallMs) {
        std::vector<qint64> s = samples_;
        if (s.empty()) {
            std::printf("%-20s no replies\n", what);
            return;
        }
        std::sort(s.begin(), s.end());
        double sum = 0;
        for (qint64 v : s)
            sum += double(v);
        std::printf("%-20s %5zu replies, terminal per reply: mean %5.1f us,", what, s.size(),
                    sum / double(s.size()) / 1000.0);
        const auto at = [&](double q) {
            return double(s[std::min(s.size() - 1, size_t(q * double(s.size())))]) / 1000.0;
        };
        std::printf(" median %5.1f us, p99 %6.1f us, max %7.1f us (wall %.0f ms)\n", at(0.5),
                    at(0.99), double(s.back()) / 1000.0, wallMs);
    }

    TerminalWindow& w_;
    std::vector<qint64> samples_;
    QElapsedTimer clock_;
    std::function<bool()> done_;
    QEventLoop loop_;
};

QByteArray program(int lines) {
    QByteArray text;
    for (int i = 1; i <= lines; ++i)
        text += QByteArray::number(i * 10) + " PRINT \"LINE " + QByteArray::number(i) + "\"\r\n";
    return text;
}

QByteArray fileBytes(int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 131 + i / 7) & 0xFF);
    return bytes;
}

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    useTimerFairEventLoop(); // as the programs do
    QApplication app(argc, argv);
    const int lines = argc > 1 ? QByteArray(argv[1]).toInt() : 2000;
    const int size = argc > 2 ? QByteArray(argv[2]).toInt() : 100 * 1024;

    Terminal w;
    board::BoardOptions options;
    options.udpPort = 0;
    options.ptyEnabled = false;
    board::BoardSimulator board(options);
    QString why;
    if (!board.start(&why) || !connectWindow(w, board.udpPort())) {
        std::fprintf(stderr, "no board: %s\n", qPrintable(why));
        return 1;
    }
    HandlerClock clock(w);
    const auto here = [](const char* name) {
        return QDir::current().absoluteFilePath(name);
    };
    bool ok = true;
    const auto check = [&ok](bool holds, const char* what) {
        if (!holds)
            std::printf("check failed: %s\n", what);
        ok &= holds;
    };

    const QByteArray text = program(lines);
    ok &= writeFile(here("prog.bas"), text);
    w.dialogs().openAnswers << here("prog.bas");
    ok &= clock.run(
        "BASIC upload", [&] { w.uploadProgramButton->click(); },
        [&] { return !w.transfers().basic().uploading(); });
    // The board's answer to the last line must be in before LIST goes out, or the download
    // would take that "OK" for the end of the listing.
    QTest::qWait(200);
    check(board.interpreter().program().lineCount() == lines, "program on the board");

    w.dialogs().saveAnswers << here("saved.bas");
    ok &= clock.run(
        "BASIC download", [&] { w.saveProgramButton->click(); },
        [&] { return !w.transfers().basic().downloading(); });
    check(readFile(here("saved.bas")) == text, "saved program");

    const QByteArray bytes = fileBytes(size);
    ok &= writeFile(here("out.bin"), bytes);
    w.boardFileEdit->setText(QStringLiteral("BENCH.BIN"));
    w.dialogs().openAnswers << here("out.bin");
    ok &= clock.run(
        "flash-disk send", [&] { w.sendFileButton->click(); },
        [&] { return !w.transfers().flash().sending(); });
    check(w.fileProgressBar->text() == QStringLiteral("OK"), "send completed");
    // The board's answer to CLOSE must be in before the next FOPEN goes out.
    QTest::qWait(200);

    w.dialogs().saveAnswers << here("back.bin");
    ok &= clock.run(
        "flash-disk receive", [&] { w.receiveFileButton->click(); },
        [&] { return !w.transfers().flash().receiving(); });
    check(readFile(here("back.bin")) == bytes, "received file");

    std::printf("%d program lines, %d file bytes: %s\n", lines, size,
                ok ? "all transfers byte-exact" : "TRANSFER FAILED");
    return ok ? 0 : 1;
}
