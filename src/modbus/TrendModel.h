#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <deque>

// What one poll of a MODBUS frame brought back.
struct TrendPoll {
    enum class Outcome { Reply, Exception, Timeout };

    qint64 atMs = 0; // when the request went out, milliseconds since the epoch
    Outcome outcome = Outcome::Timeout;
    qint32 replyMs = -1; // -1: no reply came
    bool crcGood = false;
    quint8 exceptionCode = 0;
    quint16 firstRegister = 0; // the register the first value belongs to
    QList<quint16> values;
};

// The polls of one polling run, the newest last, as the trend window draws them and the CSV
// export writes them. Only the last `capacity` polls are kept, so hours of polling at 10 ms
// cost no more memory than the first minute. No widgets: the plot only reads it.
class TrendModel {
public:
    static constexpr qsizetype DefaultCapacity = 6000;

    explicit TrendModel(qsizetype capacity = DefaultCapacity) : capacity_(capacity) {}

    void add(const TrendPoll& poll);
    void clear();

    const std::deque<TrendPoll>& polls() const { return polls_; }
    qsizetype capacity() const { return capacity_; }
    // The registers with a value among the kept polls, in ascending order.
    QList<quint16> registers() const { return registerUses_.keys(); }
    // Counted since the last clear, also for polls no longer kept.
    qint64 replies() const { return replies_; }
    qint64 exceptions() const { return exceptions_; }
    qint64 timeouts() const { return timeouts_; }
    // Changes with every poll added or cleared: a view redraws only when it moved.
    quint64 revision() const { return revision_; }

    // One row per value (time, register, value, reply time, CRC good), one per exception and
    // per timeout with the event named; local time to the millisecond, CR LF line ends.
    QByteArray csv() const;
    // The same file a poll at a time, for a writer that streams more polls than are kept.
    static QByteArray csvHeader();
    static QByteArray csvRows(const TrendPoll& poll);

private:
    void count(const TrendPoll& poll, int step);

    std::deque<TrendPoll> polls_;
    qsizetype capacity_;
    QMap<quint16, qsizetype> registerUses_;
    qint64 replies_ = 0;
    qint64 exceptions_ = 0;
    qint64 timeouts_ = 0;
    quint64 revision_ = 0;
};
