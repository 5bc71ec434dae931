#include "link/UdpSocket.h"

#include <QNetworkDatagram>
#include <QUdpSocket>
#include <QVariant>
#include <arpa/inet.h>
#include <array>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {
constexpr int ReceiveBufferBytes = 4 * 1024 * 1024;
constexpr qsizetype LargestDatagram = 65536;

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

Expected<QList<UdpSocket::Datagram>> UdpSocket::readWaiting() {
    QList<Datagram> out;
    if (state() != StateOpen)
        return out;
    // One recvmmsg for everything waiting: a flood costs a system call per batch, not two per
    // datagram (the size, then the bytes).
    if (batchBuffer_.isEmpty())
        batchBuffer_ = QByteArray(MaxBatch * LargestDatagram, Qt::Uninitialized);
    std::array<mmsghdr, MaxBatch> headers{};
    std::array<iovec, MaxBatch> parts{};
    std::array<sockaddr_in, MaxBatch> senders{};
    for (int i = 0; i < MaxBatch; ++i) {
        parts[size_t(i)] = {batchBuffer_.data() + i * LargestDatagram, size_t(LargestDatagram)};
        headers[size_t(i)].msg_hdr.msg_iov = &parts[size_t(i)];
        headers[size_t(i)].msg_hdr.msg_iovlen = 1;
        headers[size_t(i)].msg_hdr.msg_name = &senders[size_t(i)];
        headers[size_t(i)].msg_hdr.msg_namelen = sizeof(sockaddr_in);
    }
    const int got = ::recvmmsg(int(socket_->socketDescriptor()), headers.data(), MaxBatch,
                               MSG_DONTWAIT, nullptr);
    if (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
        return Failure{ErrorNumber::DeviceIo, QString::fromLocal8Bit(std::strerror(errno))};
    for (int i = 0; i < got; ++i) {
        const sockaddr_in& from = senders[size_t(i)];
        out.append({QByteArray(batchBuffer_.constData() + i * LargestDatagram,
                               qsizetype(headers[size_t(i)].msg_len)),
                    QHostAddress(ntohl(from.sin_addr.s_addr)), ntohs(from.sin_port)});
    }
    if (got == MaxBatch)
        return out;
    // The socket ran dry: one read through Qt's own socket tells it so, or it would not
    // signal the next datagram. Should one have come meanwhile, that read takes it.
    Datagram last;
    const qint64 size =
        socket_->readDatagram(batchBuffer_.data(), LargestDatagram, &last.sender, &last.senderPort);
    if (size >= 0) {
        last.bytes = QByteArray(batchBuffer_.constData(), size);
        out.append(last);
    }
    return out;
}
