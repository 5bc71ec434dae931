#include "console/LineStamp.h"

#include <QDateTime>

namespace {
qsizetype digits(qint64 n) {
    qsizetype count = 1;
    for (; n >= 10; n /= 10)
        ++count;
    return count;
}
} // namespace

qsizetype LineStamp::length() const {
    return StampFormatter::TimeChars + (replyMs < 0 ? 0 : digits(replyMs) + 5); // "+N ms "
}

QString StampFormatter::text(const LineStamp& stamp) {
    const qint64 second = stamp.atMs >= 0 ? stamp.atMs / 1000 : (stamp.atMs - 999) / 1000;
    if (second != second_) {
        second_ = second;
        clock_ = QDateTime::fromMSecsSinceEpoch(second * 1000).toString(QStringLiteral("HH:mm:ss"));
    }
    QString out = clock_;
    out += QLatin1Char('.');
    out += QString::number(stamp.atMs - second * 1000).rightJustified(3, QLatin1Char('0'));
    out += QLatin1Char(' ');
    if (stamp.replyMs >= 0)
        out += QStringLiteral("+%1 ms ").arg(stamp.replyMs);
    return out;
}
