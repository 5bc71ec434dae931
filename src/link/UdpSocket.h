#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

class QUdpSocket;

// The window's UDP socket: bound to a local port, sending every text as one datagram to the
// remote host and port set on Connect. Failures leave a number and a description behind.
class UdpSocket : public QObject {
    Q_OBJECT
public:
    explicit UdpSocket(QObject* parent = nullptr);
    ~UdpSocket() override;

    static constexpr int StateOpen = 1;
    static constexpr int StateClosed = 0;

    // Datagrams only; kept so the connect sequence reads as the operator's manual describes it.
    void setProtocolUdp() {}
    bool setRemotePort(const QString& text);
    bool setRemoteHost(const QString& text);
    bool bind(const QString& localPortText);
    void close();
    // 1 while bound and usable, anything else means not usable.
    int state() const;

    // The whole text as one datagram; returns the bytes sent, -1 on failure.
    qint64 send(const QByteArray& text);

    // The size of the next datagram, -1 when none waits.
    qint64 pendingDatagramSize() const;
    // The next whole datagram of the given size (possibly empty); ok false when the read failed.
    QByteArray read(qint64 size, bool* ok);

    int errorNumber() const { return errorNumber_; }
    QString errorDescription() const { return errorDescription_; }
    quint16 localPort() const;

signals:
    // Raised on the window's thread when datagrams wait; the handler reads them all.
    void dataArrival();

private:
    bool fail(int number, const QString& description);

    QUdpSocket* socket_;
    QHostAddress remoteHost_;
    quint16 remotePort_ = 0;
    int errorNumber_ = 0;
    QString errorDescription_;
};
