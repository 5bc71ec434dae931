#pragma once

#include <QHostAddress>
#include <QObject>
#include <QUdpSocket>

namespace board {

// The board's network port: datagrams in, replies back to whoever sent the request.
class UdpTransport : public QObject {
    Q_OBJECT
public:
    explicit UdpTransport(QObject* parent = nullptr);

    bool bind(const QHostAddress& host, quint16 port, QString* error);
    quint16 port() const { return m_socket.localPort(); }
    void send(const QByteArray& data, const QHostAddress& to, quint16 port);

signals:
    void datagramReceived(const QByteArray& data, const QHostAddress& from, quint16 port);

private:
    void readPending();

    QUdpSocket m_socket;
};

} // namespace board
