#include "link/UdpSocket.h"

#include <QNetworkDatagram>
#include <QUdpSocket>
#include <QVariant>

namespace {
constexpr int ReceiveBufferBytes = 4 * 1024 * 1024;

bool parsePort(const QString& text, quint16* port) {
    bool ok = false;
    const uint value = text.trimmed().toUInt(&ok);
    if (!ok || value > 65535)
        return false;
    *port = quint16(value);
    return true;
}
} // namespace

UdpSocket::UdpSocket(QObject* parent) : QObject(parent), socket_(new QUdpSocket(this)) {
    connect(socket_, &QUdpSocket::readyRead, this, &UdpSocket::dataArrival);
}

UdpSocket::~UdpSocket() = default;

std::optional<Failure> UdpSocket::setRemotePort(const QString& text) {
    if (!parsePort(text, &remotePort_))
        return Failure{ErrorNumber::InvalidSetting, tr("Invalid remote port: %1").arg(text)};
    return std::nullopt;
}

std::optional<Failure> UdpSocket::setRemoteHost(const QString& text) {
    const QString host = text.trimmed();
    QHostAddress address(host);
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        address = QHostAddress(QHostAddress::LocalHost);
    if (address.isNull())
        return Failure{ErrorNumber::InvalidSetting, tr("Invalid remote host: %1").arg(text)};
    remoteHost_ = address;
    return std::nullopt;
}

std::optional<Failure> UdpSocket::bind(const QString& localPortText) {
    quint16 port = 0;
    if (!parsePort(localPortText, &port))
        return Failure{ErrorNumber::InvalidSetting,
                       tr("Invalid local port: %1").arg(localPortText)};
    socket_->close();
    if (!socket_->bind(QHostAddress::AnyIPv4, port)) {
        const bool inUse = socket_->error() == QAbstractSocket::AddressInUseError;
        return Failure{inUse ? ErrorNumber::AddressInUse : ErrorNumber::DeviceIo,
                       socket_->errorString()};
    }
    // A large kernel buffer rides out bursts while the window is busy painting.
    socket_->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                             QVariant(ReceiveBufferBytes));
    return std::nullopt;
}

void UdpSocket::close() {
    socket_->close();
}

int UdpSocket::state() const {
    return socket_->state() == QAbstractSocket::BoundState ? StateOpen : StateClosed;
}

quint16 UdpSocket::localPort() const {
    return socket_->localPort();
}

Expected<qint64> UdpSocket::send(const QByteArray& text) {
    if (state() != StateOpen)
        return Failure{ErrorNumber::DeviceIo, tr("The socket is not open")};
    const qint64 sent = socket_->writeDatagram(text, remoteHost_, remotePort_);
    if (sent < 0)
        return Failure{ErrorNumber::DeviceIo, socket_->errorString()};
    return sent;
}

qint64 UdpSocket::pendingDatagramSize() const {
    return socket_->pendingDatagramSize();
}

Expected<QByteArray> UdpSocket::read(qint64 size, QHostAddress* sender, quint16* senderPort) {
    QByteArray data(qMax<qint64>(size, 0), Qt::Uninitialized);
    const qint64 got = socket_->readDatagram(data.data(), data.size(), sender, senderPort);
    if (got < 0)
        return Failure{ErrorNumber::DeviceIo, socket_->errorString()};
    data.resize(got);
    return data;
}
