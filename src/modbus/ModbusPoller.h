#pragma once

#include "core/Clock.h"
#include "modbus/TrendModel.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <functional>

// Sends one MODBUS frame every period and records what each request brought back in a
// TrendModel: the values of a read reply, an exception, or a timeout when the next period came
// first. A reply cut across several reads is put back together by the frame's own length.
// No widgets: the request builder starts and stops it, the trend window shows its model.
class ModbusPoller : public QObject {
    Q_OBJECT
public:
    explicit ModbusPoller(TrendModel& trend, QObject* parent = nullptr);

    // Writes one frame to the link; false when no link took it.
    std::function<bool(const QByteArray& frame)> send;
    // Tests set both by hand; `wall` stamps the polls, `steady` times replies and periods.
    void setClocks(MsClock wall, MsClock steady);

    // A frame other than the last one starts its trend afresh. `count` > 0: that many
    // requests, and the run stops once the last one is answered or its period is over.
    void start(const QByteArray& frame, int periodMs, qint64 count = 0);
    void stop();
    bool running() const { return timer_.isActive(); }
    int periodMs() const { return periodMs_; }
    const QByteArray& frame() const { return frame_; }

    // Every raw chunk from the link while polling. True when the chunk belongs to a reply (it
    // starts with the request's address, or goes on with a reply begun): it is then the poll's,
    // and no text for the console. A reply that comes once its request was counted a timeout
    // answers the request awaited then: the frame carries nothing to tell them apart.
    bool received(const QByteArray& chunk);
    // One period: the request still unanswered becomes a timeout, the next one goes out. The
    // timer calls it; tests may too.
    void tick();

    qint64 requestsSent() const { return requests_; }
    // Periods that passed without a request because the event loop came late.
    qint64 missedPeriods() const { return missed_; }
    // Replies that came while no request was awaited: after the next one's, or the last one's.
    qint64 lateReplies() const { return late_; }

signals:
    void runningChanged(bool running);
    // A poll recorded, after the trend took it; `reply` holds its bytes (empty: a timeout).
    void polled(const TrendPoll& poll, const QByteArray& reply);

private:
    void request();
    void finish(const QByteArray& reply);
    void record(const TrendPoll& poll, const QByteArray& reply);
    // The length the reply in the buffer will have; 0 while its header is incomplete.
    qsizetype expectedLength() const;

    TrendModel& trend_;
    QTimer timer_;
    MsClock wall_;
    MsClock steady_;
    QByteArray frame_;
    int periodMs_ = 0;
    QByteArray buffer_;
    bool awaiting_ = false;
    qint64 sentWall_ = 0;
    qint64 sentSteady_ = 0;
    qint64 startedSteady_ = 0;
    qint64 lastPeriod_ = 0;
    qint64 requests_ = 0;
    qint64 count_ = 0; // 0: until stopped
    qint64 missed_ = 0;
    qint64 late_ = 0;
};
