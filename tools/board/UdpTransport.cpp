#include "board/UdpTransport.h"

#include <QNetworkDatagram>

namespace board {

namespace {
constexpr qsizetype kMaxDatagram = 65507;
}

UdpTransport::UdpTransport(QObject* parent) : QObject(parent), m_socket(this) {
    connect(&m_socket, &QUdpSocket::readyRead, this, &UdpTransport::readPending);
}

bool UdpTransport::bind(const QHostAddress& host, quint16 port, QString* error) {
    if (m_socket.bind(host, port))
        return true;
    if (error) {
        *error = QStringLiteral("cannot bind UDP %1:%2: %3")
                     .arg(host.toString())
                     .arg(port)
                     .arg(m_socket.errorString());
        if (port != 0 && port < 1024)
            *error += QStringLiteral(" (ports below 1024 need privileges; try --udp %1:1111)")
                          .arg(host.toString());
    }
    return false;
}

void UdpTransport::send(const QByteArray& data, const QHostAddress& to, quint16 port) {
    for (qsizetype at = 0; at < data.size(); at += kMaxDatagram)
        m_socket.writeDatagram(data.mid(at, kMaxDatagram), to, port);
}

void UdpTransport::readPending() {
    // Emptying the queue here matters: readyRead is not raised again for datagrams that
    // were already waiting.
    while (m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket.receiveDatagram();
        if (!datagram.isValid())
            continue;
        emit datagramReceived(datagram.data(), datagram.senderAddress(),
                              static_cast<quint16>(datagram.senderPort()));
    }
}

} // namespace board
