// Polling the board simulator's live registers from the window: started by Ctrl+click or the
// builder's menu, stopped by Send or Esc, every request accounted for, the CSV as recorded.
#include "link/UdpPeer.h"

#include "board/BoardSimulator.h"
#include "console/ConsoleModel.h"
#include "modbus/ModbusPoller.h"
#include "modbus/PollControl.h"
#include "modbus/TrendModel.h"
#include "modbus/TrendWindow.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

class TestPolling : public QObject {
    Q_OBJECT
private slots:
    void pollsTheSimulator_data();
    void pollsTheSimulator();
    void periodIsRemembered();
};

void TestPolling::pollsTheSimulator_data() {
    QTest::addColumn<int>("periodMs");
    QTest::addColumn<bool>("byMenu"); // the menu's entry and Esc, or Ctrl+click and Send

    QTest::newRow("10 ms, Ctrl+click and Send") << 10 << false;
    QTest::newRow("50 ms, menu and Esc") << 50 << true;
}

void TestPolling::pollsTheSimulator() {
    QFETCH(int, periodMs);
    QFETCH(bool, byMenu);
    board::BoardOptions options;
    options.udpPort = 0;
    options.ptyEnabled = false;
    board::BoardSimulator simulator(options);
    QString why;
    QVERIFY2(simulator.start(&why), qPrintable(why));
    Terminal w;
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QVERIFY(connectWindow(w, simulator.udpPort()));
    w.dataAddressEdit->setText(QStringLiteral("5A")); // registers 90..92
    w.quantityEdit->setText(QStringLiteral("3"));
    w.pollControl().setPeriod(periodMs);

    if (byMenu)
        w.pollAction->trigger();
    else
        QTest::mouseClick(w.sendFrameButton, Qt::LeftButton, Qt::ControlModifier);
    QVERIFY(w.poller().running());
    QCOMPARE(w.pollAction->text(), QStringLiteral("Stop polling"));
    QVERIFY(w.trendForm->isVisible());
    const TrendModel& trend = w.trend();
    QTRY_VERIFY_WITH_TIMEOUT(trend.replies() >= 40, 30000);
    if (byMenu) {
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.sendFrameButton->setFocus();
        QTest::keyClick(w.sendFrameButton, Qt::Key_Escape);
    } else {
        QTest::mouseClick(w.sendFrameButton, Qt::LeftButton);
    }
    QVERIFY(!w.poller().running());
    QCOMPARE(w.pollAction->text(), QStringLiteral("Poll every %1 ms").arg(periodMs));

    // Every request has its record, but the last, whose answer may still have been on its way.
    const qint64 recorded = trend.replies() + trend.exceptions() + trend.timeouts();
    QVERIFY(w.poller().requestsSent() - recorded <= 1);
    QVERIFY(recorded <= w.poller().requestsSent());
    QCOMPARE(trend.exceptions(), qint64(0));
    QVERIFY(!w.console().text().contains("\x10\x03\x06")); // the replies are the trend's
    QCOMPARE(trend.registers(), (QList<quint16>{90, 91, 92}));
    for (const TrendPoll& poll : trend.polls()) {
        if (poll.outcome != TrendPoll::Outcome::Reply)
            continue;
        QVERIFY(poll.crcGood);
        QVERIFY(poll.values[1] >= 100 && poll.values[1] <= 900); // the slow sine
    }

    // The export is the trend: one row per value, one per timeout.
    w.dialogs().saveAnswers = {QStringLiteral("trend.csv")};
    w.exportCsvButton->click();
    const QByteArray csv = readFile(QStringLiteral("trend.csv"));
    QCOMPARE(csv, trend.csv());
    const qsizetype rows = csv.count("\r\n") - 1;
    QCOMPARE(rows, 3 * qsizetype(trend.polls().size()) - 2 * csv.count(",timeout\r\n"));
}

void TestPolling::periodIsRemembered() {
    Terminal w;
    QCOMPARE(w.pollAction->text(), QStringLiteral("Poll every 1000 ms"));
    w.pollPeriodMenu->actions().at(3)->trigger(); // 100 ms
    QCOMPARE(w.pollAction->text(), QStringLiteral("Poll every 100 ms"));
    QCOMPARE(Settings::read().pollPeriodMs, 100);
}

QTEST_MAIN(TestPolling)
#include "tst_polling.moc"
