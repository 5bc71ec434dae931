#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QUdpSocket>

class QSocketNotifier;

// The test's side of the simulator's links. Replies are collected as they arrive; tests
// wait on them with generous timeouts instead of sleeping.

class UdpProbe : public QObject {
public:
    explicit UdpProbe(quint16 boardPort);

    void send(const QByteArray& bytes);
    // Sends `line` CR LF and waits for a datagram ending in OK, ND, ERROR or Login:.
    QList<QByteArray> exchange(const QByteArray& line);
    // Sends a raw datagram and waits for exactly one datagram back.
    QByteArray request(const QByteArray& datagram);

    QList<QByteArray> received;

private:
    QUdpSocket m_socket;
    quint16 m_boardPort;
};

class PtyProbe : public QObject {
public:
    explicit PtyProbe(const QString& path);
    ~PtyProbe() override;

    bool isOpen() const { return m_fd >= 0; }
    // Writes everything, waiting while the pty is full.
    bool send(const QByteArray& bytes);
    // Sends and waits until `size` bytes have come back; returns what came.
    QByteArray request(const QByteArray& bytes, qsizetype size);

    QByteArray received;

private:
    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
};

QByteArray fromHex(const char* spaced);
