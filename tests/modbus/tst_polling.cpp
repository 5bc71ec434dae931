// The poller and its trend under clocks the test moves, then polling the board simulator's
// registers from the window: started and stopped by both controls, the CSV as recorded.
#include "link/UdpPeer.h"

#include "board/BoardSimulator.h"
#include "console/ConsoleModel.h"
#include "modbus/Crc16.h"
#include "modbus/ModbusPoller.h"
#include "modbus/PollControl.h"
#include "modbus/TrendModel.h"
#include "modbus/TrendWindow.h"

#include <QAction>
#include <QMenu>

namespace {

QByteArray framed(const char* hex) {
    const QByteArray bytes = QByteArray::fromHex(hex);
    return bytes + crc16Bytes(bytes);
}
// Read 3 registers from 90 at address 0x10.
const QByteArray Request = framed("1003005A0003");
const QByteArray Reply = framed("100306000100020003");
const QByteArray Exception = framed("108302");

// A poller under clocks the test moves, whose requests go nowhere.
struct ManualPoller {
    TrendModel trend{4};
    ModbusPoller poller{trend};
    qint64 now = 0; // both clocks: the wall one starts at 1970-01-01 00:00:00 UTC
    int sent = 0;

    ManualPoller() {
        poller.setClocks([this] { return now; }, [this] { return now; });
        poller.send = [this](const QByteArray&) {
            return ++sent > 0;
        };
        poller.start(Request, 10);
    }
    void tickAt(qint64 at) {
        now = at;
        poller.tick();
    }
};

} // namespace

class TestPolling : public QObject {
    Q_OBJECT
private slots:
    void repliesTimeoutsAndExceptions_data();
    void repliesTimeoutsAndExceptions();
    void lateReplyStaysOutOfTheConsole();
    void pollsTheSimulator();
};

void TestPolling::repliesTimeoutsAndExceptions_data() {
    QTest::addColumn<QByteArrayList>("pieces"); // what comes back to the first request
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QList<quint16>>("values");
    QTest::addColumn<bool>("crcGood");

    const int reply = int(TrendPoll::Outcome::Reply), timeout = int(TrendPoll::Outcome::Timeout);
    const QList<quint16> three{1, 2, 3}, none;
    QTest::newRow("reply in three pieces")
        << QByteArrayList{Reply.left(4), Reply.mid(4, 3), Reply.mid(7)} << reply << three << true;
    QByteArray damaged = Reply;
    damaged[4] = 9;
    QTest::newRow("bad CRC keeps no values") << QByteArrayList{damaged} << reply << none << false;
    QTest::newRow("exception") << QByteArrayList{Exception} << int(TrendPoll::Outcome::Exception)
                               << none << true;
    QTest::newRow("nothing") << QByteArrayList{} << timeout << none << false;
    QTest::newRow("half a reply") << QByteArrayList{Reply.left(6)} << timeout << none << false;
    QTest::newRow("text from another address is not taken")
        << QByteArrayList{"OK\r\n", Reply} << reply << three << true;
}

void TestPolling::repliesTimeoutsAndExceptions() {
    QFETCH(QByteArrayList, pieces);
    QFETCH(int, outcome);
    QFETCH(QList<quint16>, values);
    QFETCH(bool, crcGood);
    ManualPoller p;
    p.now = 3;
    for (const QByteArray& piece : pieces)
        p.poller.received(piece);
    p.tickAt(10); // the next period: an unanswered request becomes a timeout
    QCOMPARE(p.sent, 2);
    QCOMPARE(qsizetype(p.trend.polls().size()), qsizetype(1));
    const TrendPoll& poll = p.trend.polls().front();
    QCOMPARE(int(poll.outcome), outcome);
    QCOMPARE(poll.values, values);
    QCOMPARE(poll.crcGood, crcGood);
    QCOMPARE(poll.replyMs, outcome == int(TrendPoll::Outcome::Timeout) ? -1 : 3);
    if (!values.isEmpty())
        QCOMPARE(p.trend.registers(), (QList<quint16>{90, 91, 92}));
}

// Under load a reply comes after its period ended: it answers the request awaited then, the one
// that follows finds nothing awaited; neither is the console's. Missed periods are counted only.
void TestPolling::lateReplyStaysOutOfTheConsole() {
    ManualPoller p;
    p.tickAt(10); // the first request's reply has not come: a timeout
    QVERIFY(p.poller.received(Reply));
    QVERIFY(p.poller.received(Reply.left(4)));
    QVERIFY(p.poller.received(Reply.mid(4)));
    QVERIFY(!p.poller.received("OK\r\n"));
    QCOMPARE(p.poller.lateReplies(), qint64(1));
    QCOMPARE(p.trend.replies(), qint64(1));
    QCOMPARE(p.trend.timeouts(), qint64(1));
    for (qint64 at : {20, 30, 75, 80, 90}) // 40, 50 and 60 never came
        p.tickAt(at);
    QCOMPARE(p.poller.missedPeriods(), qint64(3));
    QCOMPARE(p.poller.requestsSent(), qint64(7));

    // The trend's window stays bounded; its counts keep the whole run.
    for (int i = 0; i < 40; ++i) {
        p.poller.received(i < 30 ? Reply : Exception);
        p.tickAt(p.now + 10);
    }
    QCOMPARE(qsizetype(p.trend.polls().size()), p.trend.capacity());
    QVERIFY(p.trend.registers().isEmpty()); // the replies with values have left the window
    QCOMPARE(p.trend.replies(), qint64(31));
    QCOMPARE(p.trend.exceptions(), qint64(10));
    p.poller.stop();
    QVERIFY(!p.poller.received(Reply)); // once stopped, the console has it again
}

// One run per control pair: Ctrl+click and Send, then the menu's entry and Esc, at the period the
// menu set and remembered.
void TestPolling::pollsTheSimulator() {
    board::BoardOptions options;
    options.udpPort = 0;
    options.ptyEnabled = false;
    board::BoardSimulator simulator(options);
    QString why;
    QVERIFY2(simulator.start(&why), qPrintable(why));
    Terminal w;
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w, 20000));
    QVERIFY(connectWindow(w, simulator.udpPort()));
    w.dataAddressEdit->setText(QStringLiteral("5A")); // registers 90..92
    w.quantityEdit->setText(QStringLiteral("3"));
    w.pollPeriodMenu->actions().at(3)->trigger();
    QCOMPARE(w.pollAction->text(), QStringLiteral("Poll every 100 ms"));
    QCOMPARE(Settings::read().pollPeriodMs, 100);

    const TrendModel& trend = w.trend();
    const auto records = [&] {
        return trend.replies() + trend.exceptions() + trend.timeouts();
    };
    for (const bool byMenu : {false, true}) {
        // The same frame again: the trend keeps the first run's records.
        const qint64 before = records(), repliesBefore = trend.replies();
        if (byMenu)
            w.pollAction->trigger();
        else
            QTest::mouseClick(w.sendFrameButton, Qt::LeftButton, Qt::ControlModifier);
        QVERIFY(w.poller().running() && w.trendForm->isVisible());
        QCOMPARE(w.pollAction->text(), QStringLiteral("Stop polling"));
        // Replies late for their period are timeouts: a slow machine gets there later, not never.
        QTRY_VERIFY_WITH_TIMEOUT(trend.replies() >= repliesBefore + 10, 30000);
        if (byMenu) {
            w.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&w, 20000));
            w.sendFrameButton->setFocus();
            QTest::keyClick(w.sendFrameButton, Qt::Key_Escape);
        } else {
            QTest::mouseClick(w.sendFrameButton, Qt::LeftButton);
        }
        QVERIFY(!w.poller().running());
        QCOMPARE(w.pollAction->text(), QStringLiteral("Poll every 100 ms"));

        // Every request has its record, but the last, whose answer may still have been on its way.
        const qint64 unrecorded = w.poller().requestsSent() - (records() - before);
        QVERIFY2(unrecorded == 0 || unrecorded == 1, qPrintable(QString::number(unrecorded)));
        QCOMPARE(trend.exceptions(), qint64(0));
        if (!byMenu) // the replies are the trend's (the last one's, come later, is the console's)
            QVERIFY(!w.console().text().contains("\x10\x03\x06"));
        QCOMPARE(trend.registers(), (QList<quint16>{90, 91, 92}));
        for (const TrendPoll& poll : trend.polls())
            QVERIFY(poll.outcome != TrendPoll::Outcome::Reply ||
                    (poll.crcGood && poll.values[1] >= 100 && poll.values[1] <= 900)); // a sine
    }

    // The export is the trend: one row per value, one per timeout.
    w.dialogs().saveAnswers = {QStringLiteral("trend.csv")};
    w.exportCsvButton->click();
    const QByteArray csv = readFile(QStringLiteral("trend.csv"));
    QCOMPARE(csv, trend.csv());
    const qsizetype rows = csv.count("\r\n") - 1;
    QCOMPARE(rows, 3 * qsizetype(trend.polls().size()) - 2 * csv.count(",timeout\r\n"));
}

QTEST_MAIN(TestPolling)
#include "tst_polling.moc"
