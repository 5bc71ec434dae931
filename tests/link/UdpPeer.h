#pragma once

#include "TestSupport.h"
#include "link/BoardLink.h"

#include <QComboBox>
#include <QUdpSocket>

// A board stand-in on the loopback interface that sees every byte on the wire. It binds port 0
// and keeps its socket: the system's free port stays its own, so parallel tests cannot take it.
class UdpPeer {
public:
    UdpPeer() { socket_.bind(QHostAddress::LocalHost, 0, QUdpSocket::DontShareAddress); }
    quint16 port() const { return socket_.localPort(); }

    // The next datagram, or false when none came within the wait.
    bool receive(QByteArray* datagram, int waitMs = 20000) {
        if (!socket_.hasPendingDatagrams() && !socket_.waitForReadyRead(waitMs))
            return false;
        datagram->resize(qMax<qint64>(socket_.pendingDatagramSize(), 0));
        socket_.readDatagram(datagram->data(), datagram->size());
        return true;
    }
    QByteArray next() {
        QByteArray got;
        return receive(&got) ? got : QByteArray("<nothing>");
    }
    bool sendTo(TerminalWindow& w, const QByteArray& bytes) {
        return sendToPort(w.link().localPort(), bytes);
    }
    bool sendToPort(quint16 port, const QByteArray& bytes) {
        return socket_.writeDatagram(bytes, QHostAddress::LocalHost, port) == bytes.size();
    }

private:
    QUdpSocket socket_;
};

// Connects through the controls. Local port 0: the window keeps the free port the system picks.
inline bool connectWindow(TerminalWindow& w, quint16 remotePort, quint16 localPort = 0) {
    w.hostCombo->setEditText(QStringLiteral("127.0.0.1"));
    w.remotePortEdit->setText(QString::number(remotePort));
    w.localPortEdit->setText(QString::number(localPort));
    w.connectButton->click();
    return !w.connectButton->isEnabled();
}

inline QStringList hostEntries(const TerminalWindow& w) {
    QStringList out;
    for (int i = 0; i < w.hostCombo->count(); ++i)
        out.append(w.hostCombo->itemText(i));
    return out;
}
