#include "link/BoardLink.h"

#include "core/Cp1251.h"
#include "core/LogFile.h"
#include "link/PortChoice.h"
#include "link/SerialPort.h"
#include "link/UdpSocket.h"

#include <QElapsedTimer>

namespace {

const QByteArray CrLf = QByteArrayLiteral("\r\n");
// Longest stretch the datagram read runs before letting other events in. Short, because after any
// pause of the window's thread a flood has piled up, and catching up must not become a pause of
// its own: 4 ms of reading drains about 10 ms of a 20,000 datagram/s flood.
constexpr qint64 ReadSliceMs = 4;
// A slow poll beside the socket's notifier: should it stay quiet after a burst read in slices,
// the link still drains the socket and never goes deaf.
constexpr int KeepReadingMs = 100;

Failure unwrappable(const QString& why) {
    return Failure{ErrorNumber::InvalidSetting, why};
}

} // namespace

BoardLink::BoardLink(LogFile* log, QObject* parent)
    : QObject(parent), log_(log), udp_(new UdpSocket(this)),
      serial_(std::make_unique<SerialPort>()) {
    connect(udp_, &UdpSocket::dataArrival, this, &BoardLink::readDatagrams);
    pollTimer_.setInterval(PollIntervalMs);
    connect(&pollTimer_, &QTimer::timeout, this, &BoardLink::poll);
    keepReading_.setInterval(KeepReadingMs);
    connect(&keepReading_, &QTimer::timeout, this, &BoardLink::readDatagrams);
    // A log that cannot be written costs the log, not the console: what came goes on, and the
    // failure is told when the writer meets it (once per run of failures).
    if (log_)
        connect(log_, &LogFile::failureWaiting, this, [this] {
            if (const auto why = log_->takeFailure())
                tell(*why);
        });
}

BoardLink::~BoardLink() {
    pollTimer_.stop();
    serial_->close();
}

std::optional<Failure> BoardLink::openUdp(const QString& host, const QString& remotePort,
                                          const QString& localPort) {
    std::optional<Failure> failed = udp_->setRemotePort(remotePort);
    if (!failed)
        failed = udp_->setRemoteHost(host);
    if (!failed)
        failed = udp_->bind(localPort);
    if (failed) {
        udp_->close();
        return failed;
    }
    keepReading_.start();
    emit stateChanged();
    return std::nullopt;
}

void BoardLink::closeUdp() {
    udp_->close();
    keepReading_.stop();
    emit stateChanged();
}

std::optional<Failure> BoardLink::setRemotePort(const QString& remotePort) {
    return udp_->setRemotePort(remotePort);
}

bool BoardLink::udpOpen() const {
    return udp_->state() == UdpSocket::StateOpen;
}

quint16 BoardLink::localPort() const {
    return udp_->localPort();
}

QString BoardLink::boardAddress() const {
    return QStringLiteral("%1:%2").arg(udp_->remoteHost().toString()).arg(udp_->remotePort());
}

std::optional<Failure> BoardLink::openSerial(const QString& settings, const QString& port) {
    if (const auto failed = serial_->setSettings(settings))
        return failed;
    if (port.startsWith(u'/')) {
        serial_->setPortPath(port);
    } else {
        const std::optional<int> number = PortChoice::commPortNumber(port);
        if (!number)
            return Failure{ErrorNumber::InvalidPortNumber,
                           QStringLiteral("Invalid port number: %1").arg(port)};
        if (const auto failed = serial_->setCommPort(*number))
            return failed;
    }
    if (const auto failed = serial_->open())
        return failed;
    if (!serial_->isOpen())
        return Failure{ErrorNumber::PortUnavailable, QStringLiteral("%1 did not open").arg(port)};
    serialOpen_ = true;
    serialLost_ = false;
    serialPortName_ = port;
    pollTimer_.start();
    emit stateChanged();
    return std::nullopt;
}

void BoardLink::closeSerial() {
    serialOpen_ = false;
    serialLost_ = false;
    pollTimer_.stop();
    serial_->close();
    emit stateChanged();
}

void BoardLink::discardSerialInput() {
    const Expected<qint64> waiting = serial_->bytesWaiting();
    if (waiting && *waiting > 0) {
        const QByteArray stale = serial_->readAll();
        if (log_)
            log_->append(stale);
    }
}

void BoardLink::setUdpGateway(const std::optional<QByteArray>& mdcAddress) {
    udpMdcAddress_ = mdcAddress;
    emit stateChanged();
}

void BoardLink::setSerialForm(SerialForm form, const QString& address) {
    serialForm_ = form;
    serialAddress_ = address;
}

Expected<qint64> BoardLink::sendUdp(QByteArray& text) {
    if (!udpOpen())
        return qint64(0);
    if (udpMdcAddress_) {
        const std::optional<QByteArray> wrapped = mdcLine(text, *udpMdcAddress_);
        if (!wrapped)
            return unwrappable(QStringLiteral("an MDC line needs a line end to replace"));
        text = *wrapped;
    }
    if (const Expected<qint64> sent = udp_->send(text); !sent)
        return sent.failure();
    return qint64(text.size());
}

Expected<qint64> BoardLink::writeSerial(QByteArray& text) {
    cutter_.clear();
    if (!serialOpen_)
        return qint64(0);
    if (serialLost_ || !serial_->isOpen())
        return Failure{ErrorNumber::PortUnavailable, QStringLiteral("the serial port was lost")};
    emit wroteSerial();
    if (pollTimer_.isActive())
        restartPoll();
    if (serialForm_ != SerialForm::Plain) {
        const bool framed = serialForm_ == SerialForm::Framed;
        const std::optional<QByteArray> wrapped =
            framed ? consoleTextFrame(rtuAddress(serialAddress_), text)
                   : mdcLine(text, Cp1251::toBytes(serialAddress_));
        if (!wrapped)
            return unwrappable(framed ? QStringLiteral("a console-text frame carries at most "
                                                       "255 bytes to an address 0..255; this "
                                                       "line has %1 with its line end")
                                            .arg(text.size())
                                      : QStringLiteral("an MDC line needs a line end to replace"));
        text = *wrapped;
    }
    if (const Expected<qint64> written = serial_->write(text); !written)
        return written.failure();
    return qint64(text.size());
}

std::optional<Failure> BoardLink::sendCommandLine(const QByteArray& line) {
    std::optional<Failure> failed;
    if (serialOpen_) {
        QByteArray text = line + CrLf; // a gateway rewrites its own copy
        failed = writeSerial(text).error();
    }
    if (udpOpen()) {
        QByteArray text = line + CrLf;
        if (const auto sent = sendUdp(text); !sent && !failed)
            failed = sent.failure();
    }
    // With the log closed (it could not be opened) the line is simply not logged.
    if (log_)
        log_->append(line + CrLf);
    return failed;
}

std::optional<Failure> BoardLink::sendRaw(Channel channel, const QByteArray& bytes) {
    if (channel == Channel::Udp)
        return udpOpen() ? udp_->send(bytes).error() : std::nullopt;
    if (!serialOpen_)
        return std::nullopt;
    return serial_->write(bytes).error();
}

void BoardLink::readDatagrams() {
    // Everything waiting is read, in slices: under a flood the queue never runs dry, and one
    // endless handler would freeze painting, timers and keys. What is left after a slice is
    // read by a queued call of our own, so no datagram waits for an event that may not come.
    // While that call is queued, the socket's signal and the slow poll leave the reading to it:
    // one pass of the event loop then holds one slice, not three.
    if (resumeQueued_)
        return;
    QElapsedTimer slice;
    slice.start();
    while (udpOpen()) {
        const Expected<QList<UdpSocket::Datagram>> batch = udp_->readWaiting();
        if (!batch) {
            tell(batch.failure());
            return;
        }
        if (batch->isEmpty())
            return;
        // The whole batch goes to the log in one piece before any of it is handed on.
        if (log_) {
            QByteArray all;
            for (const UdpSocket::Datagram& d : *batch)
                all += d.bytes;
            log_->append(all);
        }
        for (const UdpSocket::Datagram& d : *batch) {
            const bool fromBoard =
                d.senderPort == udp_->remotePort() && d.sender.isEqual(udp_->remoteHost());
            // A flood comes from one sender: its name is made once, not for every datagram.
            if (!fromBoard && (d.senderPort != otherPort_ || d.sender != otherAddress_)) {
                otherAddress_ = d.sender;
                otherPort_ = d.senderPort;
                otherName_ = QStringLiteral("%1:%2").arg(d.sender.toString()).arg(d.senderPort);
            }
            handOn(d.bytes, Channel::Udp, fromBoard ? QString() : otherName_);
        }
        if (batch->size() < UdpSocket::MaxBatch)
            return; // the socket ran dry and will signal the next datagram
        if (slice.elapsed() >= ReadSliceMs) {
            if (!resumeQueued_) {
                resumeQueued_ = true;
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        resumeQueued_ = false;
                        readDatagrams();
                    },
                    Qt::QueuedConnection);
            }
            return;
        }
    }
}

void BoardLink::poll() {
    emit polled();
    if (!serialOpen_ || serialLost_)
        return;
    const Expected<qint64> waiting = serial_->bytesWaiting();
    if (!waiting || !serial_->isOpen())
        return loseSerial(waiting ? Failure{ErrorNumber::PortUnavailable,
                                            QStringLiteral("the serial port was lost")}
                                  : waiting.failure());
    if (*waiting == 0) {
        if (++idleTicks_ >= IdleTicksToDrop) {
            idleTicks_ = IdleTicksToDrop;
            cutter_.clear(); // a partial frame followed by silence is dropped
        }
        return;
    }
    idleTicks_ = 0;
    deliver(serial_->readAll(), Channel::Serial, QString());
}

void BoardLink::loseSerial(const Failure& why) {
    serialLost_ = true;
    pollTimer_.stop();
    emit lost(why);
    emit stateChanged();
}

void BoardLink::deliver(const QByteArray& chunk, Channel from, const QString& otherSender) {
    if (log_)
        log_->append(chunk);
    handOn(chunk, from, otherSender);
}

void BoardLink::handOn(const QByteArray& chunk, Channel from, const QString& otherSender) {
    emit received(chunk, from);
    if (from == Channel::Serial && serialForm_ == SerialForm::Framed)
        cutFrames(chunk);
    else
        emit boardText(chunk, otherSender);
}

void BoardLink::tell(const Failure& why) {
    if (telling_)
        return;
    telling_ = true;
    emit failed(why);
    telling_ = false;
}

void BoardLink::cutFrames(const QByteArray& chunk) {
    cutter_.add(chunk);
    const int address = rtuAddress(serialAddress_);
    if (address < 0 || address > 255)
        return; // no address character can be formed: nothing is cut
    // One pass at a time: a reply sent from a handler empties the buffer, which ends the loop.
    do {
        QList<CutAction> actions;
        const FrameCutter::Stop stop = cutter_.pass(quint8(address), actions);
        for (const CutAction& action : actions) {
            if (action.kind == CutAction::Kind::Console)
                emit frameError(action.bytes);
            else
                emit boardText(action.bytes, QString());
        }
        if (stop == FrameCutter::Stop::Waiting)
            return;
    } while (!cutter_.empty());
    restartPoll();
}

void BoardLink::restartPoll() {
    pollTimer_.stop();
    pollTimer_.start();
}
