#include "cli/LinkAdapter.h"

#include "core/LogFile.h"
#include "link/Gateway.h"
#include "link/PortChoice.h"
#include "link/SerialPort.h"
#include "link/UdpSocket.h"

namespace {

// The window's serial timer: one poll every 20 ms, a partial frame dropped after 5 quiet polls.
constexpr int PollIntervalMs = 20;
constexpr int IdleTicksToDrop = 5;
// A drawn local port may be taken by another program; the window would fail quietly, a script
// is better served by another draw.
constexpr int LocalPortDraws = 8;

Failure unwrappable(const QString& why) {
    return Failure{LinkAdapter::Unwrappable, why};
}

} // namespace

LinkAdapter::LinkAdapter(const LinkSpec& spec, LogFile* log, QObject* parent)
    : QObject(parent), spec_(spec), log_(log) {
    poll_.setInterval(PollIntervalMs);
    connect(&poll_, &QTimer::timeout, this, &LinkAdapter::pollSerial);
}

LinkAdapter::~LinkAdapter() {
    poll_.stop();
    if (serial_)
        serial_->close();
}

std::optional<Failure> LinkAdapter::open() {
    return spec_.kind == LinkSpec::Kind::Udp ? openUdp() : openSerial();
}

std::optional<Failure> LinkAdapter::openUdp() {
    udp_ = new UdpSocket(this);
    udp_->setProtocolUdp();
    if (auto failed = udp_->setRemotePort(QString::number(spec_.remotePort)))
        return failed;
    if (auto failed = udp_->setRemoteHost(spec_.host))
        return failed;
    std::optional<Failure> failed;
    for (int draw = 0; draw < LocalPortDraws; ++draw) {
        const QString port =
            spec_.localPort ? QString::number(*spec_.localPort) : PortChoice::drawLocalPort();
        failed = udp_->bind(port);
        if (!failed)
            break;
        udp_->close();
        if (spec_.localPort || failed->number != ErrorNumber::AddressInUse)
            break;
    }
    if (failed)
        return failed;
    connect(udp_, &UdpSocket::dataArrival, this, &LinkAdapter::readDatagrams);
    return std::nullopt;
}

std::optional<Failure> LinkAdapter::openSerial() {
    serial_ = std::make_unique<SerialPort>();
    if (auto failed = serial_->setSettings(QStringLiteral("%1,n,8,1").arg(spec_.speed)))
        return failed;
    if (!spec_.portPath.isEmpty())
        serial_->setPortPath(spec_.portPath);
    else if (auto failed = serial_->setCommPort(spec_.commNumber))
        return failed;
    if (auto failed = serial_->open())
        return failed;
    // Whatever waits already was sent before this run asked anything (an answer the last run
    // did not stay for); handed on, it would be taken for the answer to our first command.
    if (const Expected<qint64> stale = serial_->bytesWaiting(); stale && *stale > 0) {
        const QByteArray dropped = serial_->readAll();
        if (log_)
            log_->append(dropped);
    }
    serialOpen_ = true;
    poll_.start();
    return std::nullopt;
}

bool LinkAdapter::udpOpen() const {
    return udp_ && udp_->state() == UdpSocket::StateOpen;
}

QString LinkAdapter::describe() const {
    if (spec_.kind == LinkSpec::Kind::Udp) {
        const QString remote = QStringLiteral("UDP %1:%2").arg(spec_.host).arg(spec_.remotePort);
        return udpOpen()
                   ? QStringLiteral("%1 from local port %2").arg(remote).arg(udp_->localPort())
                   : remote;
    }
    const QString port =
        spec_.portPath.isEmpty() ? QStringLiteral("COM%1").arg(spec_.commNumber) : spec_.portPath;
    return QStringLiteral("serial %1 at %2 baud").arg(port).arg(spec_.speed);
}

std::optional<Failure> LinkAdapter::udpSend(QByteArray text) {
    if (!udpOpen())
        return std::nullopt;
    if (spec_.viaUsb) {
        const std::optional<QByteArray> wrapped = mdcLine(text, *spec_.viaUsb);
        if (!wrapped)
            return unwrappable(QStringLiteral("an MDC line needs a line end to replace"));
        text = *wrapped;
    }
    const Expected<qint64> sent = udp_->send(text);
    return sent ? std::nullopt : sent.error();
}

std::optional<Failure> LinkAdapter::writeCom32(QByteArray text) {
    RtuRxBuffer.clear();
    if (!serialOpen_)
        return std::nullopt;
    if (lost_ || !serial_->isOpen())
        return Failure{ErrorNumber::PortUnavailable, QStringLiteral("the serial port was lost")};
    if (spec_.framed || spec_.viaUsb) {
        const std::optional<QByteArray> wrapped = spec_.viaUsb
                                                      ? mdcLine(text, *spec_.viaUsb)
                                                      : consoleTextFrame(spec_.frameAddress, text);
        if (!wrapped)
            return unwrappable(spec_.viaUsb
                                   ? QStringLiteral("an MDC line needs a line end to replace")
                                   : QStringLiteral("a console-text frame carries at most 255 "
                                                    "bytes, this line has %1 with its line end")
                                         .arg(text.size()));
        text = *wrapped;
    }
    poll_.start(); // as the window does: the first poll after a send a full interval later
    const Expected<qint64> written = serial_->write(text);
    return written ? std::nullopt : written.error();
}

std::optional<Failure> LinkAdapter::sendLine(const QByteArray& line) {
    if (auto failed = writeCom32(line))
        return failed;
    return udpSend(line);
}

std::optional<Failure> LinkAdapter::sendRaw(const QByteArray& bytes) {
    if (udpOpen()) {
        const Expected<qint64> sent = udp_->send(bytes);
        return sent ? std::nullopt : sent.error();
    }
    if (!serialOpen_)
        return std::nullopt;
    const Expected<qint64> written = serial_->write(bytes);
    return written ? std::nullopt : written.error();
}

void LinkAdapter::readDatagrams() {
    // Everything waiting, as the window does: a deferred read can leave the socket silent.
    while (udpOpen()) {
        const qint64 size = udp_->pendingDatagramSize();
        if (size < 0)
            break;
        const Expected<QByteArray> datagram = udp_->read(size);
        if (!datagram) {
            emit warning(datagram.failure().description);
            break;
        }
        received(*datagram);
    }
}

void LinkAdapter::pollSerial() {
    if (lost_)
        return;
    const Expected<qint64> waiting = serial_->bytesWaiting();
    if (!waiting || !serial_->isOpen()) {
        lost_ = true;
        poll_.stop();
        emit lost(waiting ? Failure{ErrorNumber::PortUnavailable,
                                    QStringLiteral("the serial port was lost")}
                          : waiting.failure());
        return;
    }
    if (*waiting == 0) {
        if (++RtuIdleTicks >= IdleTicksToDrop) {
            RtuIdleTicks = IdleTicksToDrop;
            RtuRxBuffer.clear();
        }
        return;
    }
    RtuIdleTicks = 0;
    received(serial_->readAll());
}

void LinkAdapter::received(const QByteArray& chunk) {
    if (log_) {
        if (const auto failed = log_->append(chunk))
            emit warning(QStringLiteral("log: %1").arg(failed->description));
    }
    emit chunkReceived(chunk);
    if (spec_.framed)
        cutFrames(chunk);
    else
        emit textReceived(chunk);
}

void LinkAdapter::cutFrames(const QByteArray& chunk) {
    RxData = chunk;
    RtuRxBuffer += chunk;
    FrameCutter cutter({RtuRxBuffer, RxData, RtuDataLen, RtuCrcCalc, RtuCrcRecv},
                       static_cast<quint8>(spec_.frameAddress));
    QList<CutAction> actions;
    cutter.run(actions);
    for (const CutAction& action : actions) {
        if (action.kind == CutAction::Kind::Route)
            emit textReceived(action.bytes);
        else
            emit warning(QString::fromLatin1(action.bytes.trimmed()));
    }
}
