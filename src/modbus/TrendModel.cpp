#include "modbus/TrendModel.h"

#include <QDateTime>

void TrendModel::add(const TrendPoll& poll) {
    polls_.push_back(poll);
    count(poll, 1);
    while (qsizetype(polls_.size()) > capacity_) {
        count(polls_.front(), -1);
        polls_.pop_front();
    }
    switch (poll.outcome) {
    case TrendPoll::Outcome::Reply:
        ++replies_;
        break;
    case TrendPoll::Outcome::Exception:
        ++exceptions_;
        break;
    case TrendPoll::Outcome::Timeout:
        ++timeouts_;
        break;
    }
    ++revision_;
}

void TrendModel::count(const TrendPoll& poll, int step) {
    for (qsizetype i = 0; i < poll.values.size(); ++i) {
        const quint16 reg = quint16(poll.firstRegister + i);
        qsizetype& uses = registerUses_[reg];
        uses += step;
        if (uses <= 0)
            registerUses_.remove(reg);
    }
}

void TrendModel::clear() {
    polls_.clear();
    registerUses_.clear();
    replies_ = exceptions_ = timeouts_ = 0;
    ++revision_;
}

QByteArray TrendModel::csv() const {
    QByteArray out = csvHeader();
    for (const TrendPoll& p : polls_)
        out += csvRows(p);
    return out;
}

QByteArray TrendModel::csvHeader() {
    return "time,register,value,reply_ms,crc_good,event\r\n";
}

QByteArray TrendModel::csvRows(const TrendPoll& p) {
    const QByteArray time = QDateTime::fromMSecsSinceEpoch(p.atMs)
                                .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"))
                                .toLatin1();
    const QByteArray reply = p.replyMs < 0 ? QByteArray() : QByteArray::number(p.replyMs);
    const QByteArray crc = p.replyMs < 0 ? QByteArray() : QByteArray(p.crcGood ? "1" : "0");
    if (p.outcome == TrendPoll::Outcome::Timeout)
        return time + ",,,,,timeout\r\n";
    if (p.outcome == TrendPoll::Outcome::Exception)
        return time + ",,," + reply + ',' + crc + ",exception " +
               QByteArray::number(p.exceptionCode, 16).rightJustified(2, '0').toUpper() + "\r\n";
    if (p.values.isEmpty())
        return time + ",,," + reply + ',' + crc + ",\r\n";
    QByteArray out;
    for (qsizetype i = 0; i < p.values.size(); ++i)
        out += time + ',' + QByteArray::number(p.firstRegister + i) + ',' +
               QByteArray::number(p.values[i]) + ',' + reply + ',' + crc + ",\r\n";
    return out;
}
