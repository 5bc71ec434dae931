// The poller and the trend it records, without a display: replies put together from pieces,
// exceptions and timeouts, missed periods counted from the clock, the bounded window and the
// CSV rows.
#include "modbus/Crc16.h"
#include "modbus/ModbusPoller.h"
#include "modbus/TrendModel.h"

#include <QTest>
#include <ctime>

namespace {
QByteArray framed(QByteArray bytes) {
    return bytes + crc16Bytes(bytes);
}
// Read 3 registers from 90 at address 0x10.
const QByteArray Request = framed(QByteArray::fromHex("1003005A0003"));
const QByteArray Reply = framed(QByteArray::fromHex("100306000100020003"));
const QByteArray Exception = framed(QByteArray::fromHex("108302"));

// A poller under clocks the test moves, whose requests go nowhere.
struct ManualPoller {
    TrendModel trend{4};
    ModbusPoller poller{trend};
    qint64 now = 0; // both clocks: the wall one starts at 1970-01-01 00:00:00 UTC
    int sent = 0;

    ManualPoller() {
        poller.setClocks([this] { return now; }, [this] { return now; });
        poller.send = [this](const QByteArray&) {
            ++sent;
            return true;
        };
        poller.start(Request, 10);
    }
};
} // namespace

class TestTrend : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void repliesTimeoutsAndExceptions_data();
    void repliesTimeoutsAndExceptions();
    void missedPeriodsAreCounted();
    void lateReplyStaysOutOfTheConsole();
    void windowStaysBounded();
    void csvRowsFollowThePolls();
};

void TestTrend::initTestCase() {
    qputenv("TZ", "UTC");
    tzset();
}

void TestTrend::repliesTimeoutsAndExceptions_data() {
    QTest::addColumn<QByteArrayList>("pieces"); // what comes back to the first request
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QList<quint16>>("values");
    QTest::addColumn<bool>("crcGood");

    using O = TrendPoll::Outcome;
    const QList<quint16> three{1, 2, 3};
    QTest::newRow("whole reply") << QByteArrayList{Reply} << int(O::Reply) << three << true;
    QTest::newRow("reply cut after byte 1")
        << QByteArrayList{Reply.left(1), Reply.mid(1)} << int(O::Reply) << three << true;
    QTest::newRow("reply in three pieces")
        << QByteArrayList{Reply.left(4), Reply.mid(4, 3), Reply.mid(7)} << int(O::Reply) << three
        << true;
    QByteArray damaged = Reply;
    damaged[4] = 9;
    QTest::newRow("bad CRC keeps no values")
        << QByteArrayList{damaged} << int(O::Reply) << QList<quint16>{} << false;
    QTest::newRow("exception") << QByteArrayList{Exception} << int(O::Exception) << QList<quint16>{}
                               << true;
    QTest::newRow("nothing") << QByteArrayList{} << int(O::Timeout) << QList<quint16>{} << false;
    QTest::newRow("half a reply") << QByteArrayList{Reply.left(6)} << int(O::Timeout)
                                  << QList<quint16>{} << false;
    QTest::newRow("text from another address is not taken")
        << QByteArrayList{"OK\r\n", Reply} << int(O::Reply) << three << true;
}

void TestTrend::repliesTimeoutsAndExceptions() {
    QFETCH(QByteArrayList, pieces);
    QFETCH(int, outcome);
    QFETCH(QList<quint16>, values);
    QFETCH(bool, crcGood);
    ManualPoller p;
    p.now = 3;
    for (const QByteArray& piece : pieces)
        p.poller.received(piece);
    p.now = 10;
    p.poller.tick(); // the next period: an unanswered request becomes a timeout
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

void TestTrend::missedPeriodsAreCounted() {
    ManualPoller p;
    for (qint64 at : {10, 20, 30, 75, 80, 90}) { // 40, 50 and 60 never came
        p.now = at;
        p.poller.tick();
    }
    QCOMPARE(p.poller.missedPeriods(), qint64(3));
    QCOMPARE(p.poller.requestsSent(), qint64(7));
}

// Under load a reply comes after its period ended: it answers the request awaited then, and the
// one that follows finds nothing awaited. Neither is board text for the console.
void TestTrend::lateReplyStaysOutOfTheConsole() {
    ManualPoller p;
    p.now = 10;
    p.poller.tick(); // the first request's reply has not come: a timeout
    QVERIFY(p.poller.received(Reply));
    QVERIFY(p.poller.received(Reply.left(4)));
    QVERIFY(p.poller.received(Reply.mid(4)));
    QVERIFY(!p.poller.received("OK\r\n"));
    QCOMPARE(p.poller.lateReplies(), qint64(1));
    QCOMPARE(p.trend.replies(), qint64(1));
    QCOMPARE(p.trend.timeouts(), qint64(1));
    p.poller.stop();
    QVERIFY(!p.poller.received(Reply)); // once stopped, the console has it again
}

void TestTrend::windowStaysBounded() {
    ManualPoller p;
    for (int i = 0; i < 40; ++i) {
        p.poller.received(i < 30 ? Reply : Exception);
        p.now += 10;
        p.poller.tick();
    }
    QCOMPARE(qsizetype(p.trend.polls().size()), p.trend.capacity());
    QVERIFY(p.trend.registers().isEmpty());  // the replies with values have left the window
    QCOMPARE(p.trend.replies(), qint64(30)); // the counts keep the whole run
    QCOMPARE(p.trend.exceptions(), qint64(10));
}

void TestTrend::csvRowsFollowThePolls() {
    ManualPoller p;
    p.now = 2;
    p.poller.received(Reply);
    p.now = 10;
    p.poller.tick(); // this one is lost
    p.now = 20;
    p.poller.tick();
    p.now = 25;
    p.poller.received(Exception);
    QCOMPARE(p.trend.csv(), QByteArray("time,register,value,reply_ms,crc_good,event\r\n"
                                       "1970-01-01 00:00:00.000,90,1,2,1,\r\n"
                                       "1970-01-01 00:00:00.000,91,2,2,1,\r\n"
                                       "1970-01-01 00:00:00.000,92,3,2,1,\r\n"
                                       "1970-01-01 00:00:00.010,,,,,timeout\r\n"
                                       "1970-01-01 00:00:00.020,,,5,1,exception 02\r\n"));
}

QTEST_GUILESS_MAIN(TestTrend)
#include "tst_trend.moc"
