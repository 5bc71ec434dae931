// Polling benchmark: the real window (offscreen) polls the board simulator's live registers
// 90..92 at 10 ms over loopback UDP for ten minutes. Every 30 s it prints what was sent,
// answered, timed out and missed, and the resident size; at the end the totals, with the
// missed periods per thousand and the longest event-loop gap. Run through bench/run-polling.sh.
//
//   bench_polling [seconds=600] [period ms=10]
//   bench_polling --show SECONDS [CSV]  a visible window and trend at 100 ms, for a
//                                       screenshot; the trend exported to CSV at the end
#include "ResidentSize.h"
#include "TestSupport.h"
#include "core/EventLoopChoice.h"
#include "link/UdpPeer.h"

#include "modbus/ModbusPoller.h"
#include "modbus/PollControl.h"
#include "modbus/TrendModel.h"
#include "modbus/TrendPlot.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[]) {
    useTimerFairEventLoop(); // as the programs do
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const bool show = args.value(0) == QLatin1String("--show");
    const int seconds = args.value(show ? 1 : 0, QStringLiteral("600")).toInt();
    const int periodMs = show ? 100 : args.value(1, QStringLiteral("10")).toInt();

    // The simulator in a process of its own, so the resident size is the window's alone.
    QProcess board;
    board.start(
        QStringLiteral(BRENMOOR_BOARD_PATH),
        {QStringLiteral("--udp"), QStringLiteral("127.0.0.1:0"), QStringLiteral("--no-pty")});
    board.waitForReadyRead(10000);
    const QByteArray said = board.readLine().trimmed(); // "udp: 127.0.0.1:PORT"
    const quint16 boardPort = said.mid(said.lastIndexOf(':') + 1).toUShort();
    if (!said.startsWith("udp: ") || boardPort == 0) {
        std::printf("board did not start: %s\n", said.constData());
        return 1;
    }
    Terminal w;
    if (show)
        w.show();
    if (!connectWindow(w, boardPort)) {
        std::printf("window: Connect failed\n");
        return 1;
    }
    w.dataAddressEdit->setText(QStringLiteral("5A"));
    w.quantityEdit->setText(QStringLiteral("3"));
    w.pollControl().setPeriod(periodMs);
    w.pollControl().startPolling();
    if (show)
        w.trendForm->move(w.x() + 40, w.y() + 40);

    // The longest gap between two wakes of a 5 ms timer: how long the event loop stood still.
    QElapsedTimer gapClock;
    gapClock.start();
    qint64 lastWake = 0;
    qint64 longestGapMs = 0;
    QTimer gapProbe;
    gapProbe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&gapProbe, &QTimer::timeout, [&] {
        const qint64 now = gapClock.elapsed();
        longestGapMs = qMax(longestGapMs, now - lastWake);
        lastWake = now;
    });
    gapProbe.start(5);

    const ModbusPoller& poller = w.poller();
    const TrendModel& trend = w.trend();
    qint64 startKb = -1;
    int reports = 0;
    auto report = [&] {
        std::printf("%4d s  requests %8lld  replies %8lld  timeouts %5lld  missed %5lld  "
                    "kept %5zu  rss %lld kB\n",
                    reports * 30, qlonglong(poller.requestsSent()), qlonglong(trend.replies()),
                    qlonglong(trend.timeouts()), qlonglong(poller.missedPeriods()),
                    trend.polls().size(), qlonglong(residentKb()));
        std::fflush(stdout);
    };
    QTimer every30s;
    QObject::connect(&every30s, &QTimer::timeout, [&] {
        ++reports;
        if (startKb < 0)
            startKb = residentKb(); // after the first 30 s: the trend window has filled
        report();
    });
    every30s.start(30000);
    QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    std::printf("polling registers 90..92 every %d ms for %d s\n", periodMs, seconds);
    app.exec();

    w.pollControl().stopPolling();
    if (show && args.size() > 2) {
        w.dialogs().saveAnswers = {args[2]};
        w.exportCsvButton->click();
    }
    const qint64 endKb = residentKb();
    const double perThousand = poller.requestsSent()
                                   ? 1000.0 * double(poller.missedPeriods()) /
                                         double(poller.requestsSent() + poller.missedPeriods())
                                   : 0;
    std::printf("requests %lld, replies %lld, exceptions %lld, timeouts %lld\n",
                qlonglong(poller.requestsSent()), qlonglong(trend.replies()),
                qlonglong(trend.exceptions()), qlonglong(trend.timeouts()));
    std::printf("missed periods %lld (%.3f per thousand), late replies %lld\n",
                qlonglong(poller.missedPeriods()), perThousand, qlonglong(poller.lateReplies()));
    std::printf("resident after 30 s %lld kB, at the end %lld kB (%+lld kB)\n", qlonglong(startKb),
                qlonglong(endKb), qlonglong(endKb - startKb));
    std::printf("longest event-loop gap %lld ms (probe every 5 ms)\n", qlonglong(longestGapMs));
    QElapsedTimer paint;
    paint.start();
    w.trendPlot->grab();
    std::printf("one paint of the trend with %zu polls: %.1f ms\n", trend.polls().size(),
                double(paint.nsecsElapsed()) / 1e6);
    board.terminate();
    board.waitForFinished(5000);
    return 0;
}
