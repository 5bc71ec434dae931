#include "link/ReplyWatch.h"

#include <algorithm>

ReplyWatch::ReplyWatch(QObject* parent) : QObject(parent), clock_(&Clock::steadyMs) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &ReplyWatch::check);
}

void ReplyWatch::setLimitMs(int ms) {
    limitMs_ = qMax(0, ms);
    if (limitMs_ == 0)
        cancel();
}

void ReplyWatch::sent(const QString& what) {
    if (limitMs_ == 0)
        return;
    sentAt_ = clock_();
    what_ = what;
    waiting_ = true;
    arm(limitMs_);
}

void ReplyWatch::replied() {
    cancel();
}

void ReplyWatch::cancel() {
    waiting_ = false;
    timer_.stop();
}

void ReplyWatch::check() {
    if (!waiting_)
        return;
    const qint64 waited = clock_() - sentAt_;
    if (waited < limitMs_)
        return arm(limitMs_ - waited);
    waiting_ = false;
    timer_.stop();
    emit silent(limitMs_, what_);
}

void ReplyWatch::arm(qint64 ms) {
    timer_.start(int(std::clamp<qint64>(ms, 1, limitMs_)));
}

QString ReplyWatch::limitText(int ms) {
    if (ms < 1000)
        return QStringLiteral("%1 ms").arg(ms);
    return QStringLiteral("%1 s").arg(QString::number(ms / 1000.0, 'g', 6));
}
