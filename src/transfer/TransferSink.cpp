#include "transfer/TransferSink.h"

#include "core/LogFile.h"

#include <QElapsedTimer>
#include <QThread>
#include <utility>

void BoardSink::send(Channel channel, const QByteArray& line) {
    QByteArray text = line;
    const Expected<qint64> sent =
        channel == Channel::Udp ? link_.sendUdp(text) : link_.writeSerial(text);
    if (!sent && !sendFailure_)
        sendFailure_ = sent.failure();
}

QString BoardSink::boardName() const {
    // A line goes out on the serial port first when both are open.
    if (link_.serialOpen())
        return link_.serialPortName();
    return link_.udpOpen() ? link_.boardAddress() : QString();
}

void BoardSink::log(const QByteArray& line) {
    // A log that cannot be written is told by the link, once per run of failures.
    if (log_)
        log_->append(line);
}

void BoardSink::pause(int ms) {
    QElapsedTimer paused;
    paused.start();
    QThread::msleep(static_cast<unsigned long>(qMax(0, ms)));
    pausedNs_ += paused.nsecsElapsed();
}

std::optional<Failure> BoardSink::takeSendFailure() {
    return std::exchange(sendFailure_, std::nullopt);
}
