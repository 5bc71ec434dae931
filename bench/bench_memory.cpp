// Memory per transfer: the real window (offscreen) receives the same flash-disk file from the
// in-process simulator again and again, and opens its real file dialog again and again. The
// resident size after a warm-up and after the runs shows what each leaves behind.
//
//   bench_memory [runs] [file bytes]
#include "ResidentSize.h"
#include "TestSupport.h"
#include "core/EventLoopChoice.h"
#include "link/UdpPeer.h"

#include "board/BoardSimulator.h"
#include "link/BoardLink.h"
#include "transfer/Transfers.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <string>

namespace {

// Runs `once` a warm-up's worth of times, then `runs` times, and says what stayed per run.
bool measure(const char* what, int runs, const std::function<bool()>& once) {
    bool ok = true;
    for (int i = 0; i < 20; ++i)
        ok &= once();
    const qint64 before = residentKb();
    for (int i = 0; i < runs; ++i)
        ok &= once();
    const qint64 after = residentKb();
    std::printf("%-28s %4d runs: resident %lld kB after warm-up, %lld kB after, %.1f kB per "
                "run%s\n",
                what, runs, static_cast<long long>(before), static_cast<long long>(after),
                double(after - before) / runs, ok ? "" : " (A RUN FAILED)");
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    useTimerFairEventLoop(); // as the programs do
    QApplication app(argc, argv);
    const int runs = argc > 1 ? QByteArray(argv[1]).toInt() : 200;
    const int size = argc > 2 ? QByteArray(argv[2]).toInt() : 400;

    Terminal w; // scripted dialogs for the transfers
    board::BoardOptions options;
    options.udpPort = 0;
    options.ptyEnabled = false;
    board::BoardSimulator board(options);
    QString why;
    if (!board.start(&why) || !connectWindow(w, board.udpPort())) {
        std::fprintf(stderr, "no board: %s\n", qPrintable(why));
        return 1;
    }
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 13);
    writeFile(QStringLiteral("out.bin"), bytes);
    w.boardFileEdit->setText(QStringLiteral("MEM.BIN"));
    w.dialogs().openAnswers << QDir::current().absoluteFilePath(QStringLiteral("out.bin"));
    w.sendFileButton->click();
    if (!QTest::qWaitFor([&] { return !w.transfers().running(); }, 60000))
        return 1;
    QTest::qWait(20); // the board's answer to CLOSE

    bool ok = measure("flash-disk receive", runs, [&] {
        w.dialogs().saveAnswers << QDir::current().absoluteFilePath(QStringLiteral("back.bin"));
        w.receiveFileButton->click();
        const bool ended = QTest::qWaitFor([&] { return !w.transfers().running(); }, 60000);
        QTest::qWait(5); // the board's answer to CLOSE
        return ended && readFile(QStringLiteral("back.bin")) == bytes;
    });

    // The window's real dialogs, opened and cancelled as an operator who changed their mind.
    WidgetDialogs real(&w);
    ok &= measure("file dialog opened", runs, [&] {
        QTimer::singleShot(0, [] {
            if (QWidget* dialog = QApplication::activeModalWidget())
                QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
        });
        return real.saveFile(QString(), QStringLiteral("All files (*.*)|*.*")).isEmpty();
    });
    return ok ? 0 : 1;
}
