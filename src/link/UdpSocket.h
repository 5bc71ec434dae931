#pragma once

#include "core/Failure.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

class QUdpSocket;

// The window's UDP socket: bound to a local port, sending every text as one datagram to the
// remote host and port set on Connect.
class UdpSocket : public QObject {
    Q_OBJECT
public:
    explicit UdpSocket(QObject* parent = nullptr);
    ~UdpSocket() override;

    static constexpr int StateOpen = 1;
    static constexpr int StateClosed = 0;

    std::optional<Failure> setRemotePort(const QString& text);
    std::optional<Failure> setRemoteHost(const QString& text);
    std::optional<Failure> bind(const QString& localPortText);
    void close();
    // 1 while bound and usable, anything else means not usable.
    int state() const;

    // The whole text as one datagram; the bytes sent.
    Expected<qint64> send(const QByteArray& text);

    struct Datagram {
        QByteArray bytes;
        QHostAddress sender;
        quint16 senderPort = 0;
    };
    // The datagrams waiting now, up to MaxBatch, read in one system call; empty when none
    // waits. Reading them leaves the socket ready to signal the next ones.
    static constexpr int MaxBatch = 32;
    Expected<QList<Datagram>> readWaiting();
    quint16 localPort() const;
    const QHostAddress& remoteHost() const { return remoteHost_; }
    quint16 remotePort() const { return remotePort_; }

signals:
    // Raised on the window's thread when datagrams wait; the handler reads them all.
    void dataArrival();

private:
    QUdpSocket* socket_;
    QByteArray batchBuffer_; // MaxBatch whole datagrams' room, made at the first batch
    QHostAddress remoteHost_;
    quint16 remotePort_ = 0;
};
