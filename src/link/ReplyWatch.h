#pragma once

#include "core/Clock.h"

#include <QObject>
#include <QString>
#include <QTimer>

// Waits for the board's answer to a line sent, and tells once when none came in time. It only
// tells: nothing is sent again, since a second WRITE or READ would corrupt a file and a second
// command line could run twice. Shared by every front end through the session's transfers.
//
// The time comes from a clock that tests set by hand; the timer only wakes the watch, check()
// decides from the clock, so a test calls check() itself instead of waiting.
class ReplyWatch : public QObject {
    Q_OBJECT
public:
    explicit ReplyWatch(QObject* parent = nullptr);

    // 0, as at the start, watches nothing: a front end turns the watch on with its limit.
    void setLimitMs(int ms);
    int limitMs() const { return limitMs_; }
    void setClock(MsClock clock) { clock_ = std::move(clock); }

    // A request went out: the wait starts again from now, `what` is told should it stay
    // unanswered ("upload line 3 waits ...", or empty for a plain command line).
    void sent(const QString& what = QString());
    // The board said something: whatever was waiting is answered.
    void replied();
    // Nothing waits any more (the transfer ended, the link closed).
    void cancel();
    bool waiting() const { return waiting_; }

    // Tells `silent` when the limit has passed since the last request, once per request.
    void check();

    // "2 s", "1.5 s", "300 ms": the limit as the notice says it.
    static QString limitText(int ms);

signals:
    void silent(int limitMs, const QString& what);

private:
    void arm(qint64 ms);

    MsClock clock_;
    QTimer timer_;
    int limitMs_ = 0;
    qint64 sentAt_ = 0;
    QString what_;
    bool waiting_ = false;
};
