#include "modbus/ModbusPoller.h"

#include "modbus/Crc16.h"
#include "modbus/ModbusReply.h"
#include "modbus/TrendModel.h"

namespace {
constexpr quint8 ExceptionBit = 0x80;

bool readFunction(quint8 function) {
    return function >= 1 && function <= 4;
}
quint8 byteAt(const QByteArray& bytes, qsizetype i) {
    return i < bytes.size() ? quint8(bytes[i]) : 0;
}
bool writeFunction(quint8 function) {
    return function == 5 || function == 6 || function == 15 || function == 16;
}
} // namespace

ModbusPoller::ModbusPoller(TrendModel& trend, QObject* parent)
    : QObject(parent), trend_(trend), wall_(&Clock::wallMs), steady_(&Clock::steadyMs) {
    // Coarse timers may fire a period early or late; a poll at 10 ms needs the precise kind.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &ModbusPoller::tick);
}

void ModbusPoller::setClocks(MsClock wall, MsClock steady) {
    wall_ = std::move(wall);
    steady_ = std::move(steady);
}

void ModbusPoller::start(const QByteArray& frame, int periodMs, qint64 count) {
    stop();
    if (frame != frame_)
        trend_.clear(); // another frame: the curves of the last one would mislead
    frame_ = frame;
    periodMs_ = qMax(1, periodMs);
    requests_ = missed_ = late_ = 0;
    count_ = qMax<qint64>(0, count);
    startedSteady_ = steady_();
    lastPeriod_ = 0;
    timer_.start(periodMs_);
    request();
    emit runningChanged(true);
}

void ModbusPoller::stop() {
    if (!timer_.isActive())
        return;
    timer_.stop();
    // The last request keeps its chance: its reply may still be on the way, and is then simply
    // not recorded; a run never ends on a made-up timeout.
    awaiting_ = false;
    buffer_.clear();
    emit runningChanged(false);
}

void ModbusPoller::tick() {
    const qint64 period = (steady_() - startedSteady_) / periodMs_;
    if (period > lastPeriod_ + 1)
        missed_ += period - lastPeriod_ - 1;
    lastPeriod_ = qMax(period, lastPeriod_ + 1);
    if (awaiting_) {
        awaiting_ = false;
        TrendPoll lost;
        lost.atMs = sentWall_;
        record(lost, {});
    }
    if (count_ > 0 && requests_ >= count_)
        return stop(); // the last request had its period
    request();
}

void ModbusPoller::request() {
    awaiting_ = true;
    buffer_.clear();
    sentWall_ = wall_();
    sentSteady_ = steady_();
    ++requests_;
    if (send && !send(frame_))
        awaiting_ = false; // nothing went out: nothing to wait for, nothing to record
}

bool ModbusPoller::received(const QByteArray& chunk) {
    // A reply that comes after its period ended is still the poll's: counted as late, never
    // shown as console text, which at 10 ms would bury the console under binary bytes.
    if (!running() || chunk.isEmpty() ||
        (buffer_.isEmpty() && quint8(chunk[0]) != byteAt(frame_, 0)))
        return false;
    buffer_ += chunk;
    const qsizetype length = expectedLength();
    if (length > 0 && buffer_.size() >= length) {
        if (awaiting_) {
            finish(buffer_.left(length));
        } else {
            ++late_;
            buffer_.clear();
        }
    }
    return true;
}

qsizetype ModbusPoller::expectedLength() const {
    if (buffer_.size() < 2)
        return 0;
    const quint8 function = quint8(buffer_[1]);
    if (function & ExceptionBit)
        return 5; // address, function, code, CRC
    if (readFunction(function))
        return buffer_.size() < 3 ? 0 : 5 + quint8(buffer_[2]);
    if (writeFunction(function))
        return 8;
    return buffer_.size(); // a layout of its own: the chunk as it came
}

void ModbusPoller::finish(const QByteArray& reply) {
    awaiting_ = false;
    buffer_.clear();
    const qint64 replyMs = steady_() - sentSteady_;
    const ModbusReply parsed = parseModbusReply(reply, true, replyMs);
    TrendPoll poll;
    poll.atMs = sentWall_;
    poll.replyMs = qint32(qMax<qint64>(0, replyMs));
    poll.crcGood = parsed.crc && parsed.crc->good();
    const quint8 function = parsed.function.value_or(0);
    if (function & ExceptionBit) {
        // The parser reads every odd-length reply as a read reply; an exception is checked here.
        poll.outcome = TrendPoll::Outcome::Exception;
        poll.exceptionCode = byteAt(reply, 2);
        poll.crcGood = crc16Bytes(reply.left(3)) == reply.mid(3, 2);
    } else {
        poll.outcome = TrendPoll::Outcome::Reply;
        if (parsed.kind == ModbusReply::Kind::ReadReply && poll.crcGood) {
            poll.firstRegister = quint16(byteAt(frame_, 2) << 8 | byteAt(frame_, 3));
            poll.values = parsed.values;
        } else if (parsed.echo && poll.crcGood) {
            poll.firstRegister = parsed.echo->dataAddress;
            poll.values = {parsed.echo->value};
        }
    }
    record(poll, reply);
    if (count_ > 0 && requests_ >= count_)
        stop();
}

void ModbusPoller::record(const TrendPoll& poll, const QByteArray& reply) {
    trend_.add(poll);
    emit polled(poll, reply);
}
