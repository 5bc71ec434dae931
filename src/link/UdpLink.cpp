#include "link/UdpLink.h"

#include "app/Controls.h"
#include "app/Cp1251.h"
#include "app/Dialogs.h"
#include "app/TerminalState.h"
#include "link/Gateway.h"
#include "link/UdpSocket.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>

UdpLink::UdpLink(Controls& c, TerminalState& s, QObject* parent) : QObject(parent), c_(c), s_(s) {
    // Belt and braces for the read notifier: should it ever stay off after a burst that was
    // read in slices, this slow poll still drains the socket, so the link never goes deaf.
    keepReading_.setInterval(KeepReadingMs);
    connect(&keepReading_, &QTimer::timeout, this, &UdpLink::Winsock1_DataArrival);
}

void UdpLink::connectControls() {
    connect(c_.cbBind, &QPushButton::clicked, this, &UdpLink::cbBind_Click);
    connect(c_.Command1, &QPushButton::clicked, this, &UdpLink::Command1_Click);
    connect(c_.Winsock1, &UdpSocket::dataArrival, this, &UdpLink::Winsock1_DataArrival);
}

void UdpLink::cbBind_Click() {
    c_.tbSendData->clear();
    if (serialIsOpen())
        return;
#ifdef Q_OS_WIN
    // Forget stale address resolutions, in the background so Connect never waits on it.
    QProcess::startDetached(QStringLiteral("cmd.exe"),
                            {QStringLiteral("/c"), QStringLiteral("arp -d *")});
#endif
    UdpSocket& sock = *c_.Winsock1;
    sock.setProtocolUdp();
    const bool ok = sock.setRemotePort(c_.tbRemotePort->text()) &&
                    sock.setRemoteHost(c_.ComboRemoteIP->currentText()) &&
                    sock.bind(c_.tbLocalPort->text());
    if (!ok) {
        sock.close();
        c_.cbBind->setEnabled(true);
        return;
    }
    keepReading_.start();
    c_.cbBind->setEnabled(false);
    c_.YesConnect->show();
    c_.NoConnect->hide();
    c_.tbSendData->setFocus();
    c_.Frame6->setEnabled(true);
    c_.Frame2->setEnabled(true);
}

void UdpLink::Command1_Click() {
    c_.tbSendData->clear();
    if (serialIsOpen())
        return;
    c_.Winsock1->close();
    keepReading_.stop();
    c_.cbBind->setEnabled(true);
    c_.YesConnect->hide();
    c_.NoConnect->show();
    c_.Frame6->setEnabled(false);
    c_.Frame2->setEnabled(false);
}

void UdpLink::Winsock1_DataArrival() {
    // Everything waiting is read, in slices: under a flood the queue never runs dry, and one
    // endless handler would freeze painting, timers and keys. What is left after a slice is
    // read by a queued call of our own, so no datagram waits for an event that may not come.
    QElapsedTimer slice;
    slice.start();
    while (c_.Winsock1->state() == UdpSocket::StateOpen) {
        const qint64 size = c_.Winsock1->pendingDatagramSize();
        if (size < 0)
            break;
        receiveOne(size);
        if (slice.elapsed() >= SliceMs) {
            if (!resumeQueued_) {
                resumeQueued_ = true;
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        resumeQueued_ = false;
                        Winsock1_DataArrival();
                    },
                    Qt::QueuedConnection);
            }
            return;
        }
    }
}

void UdpLink::receiveOne(qint64 size) {
    bool ok = false;
    s_.RxData = c_.Winsock1->read(size, &ok); // empty when the read failed
    if (!ok) {
        reportFailure(c_.Winsock1->errorNumber(), c_.Winsock1->errorDescription());
        return;
    }
    if (!s_.LogFileNumber.append(s_.RxData)) {
        reportFailure(fileErrorNumber(s_.LogFileNumber.error()), s_.LogFileNumber.errorString());
        return;
    }
    c_.YesConnect->show();
    c_.NoConnect->hide();
    if (hexParser)
        hexParser();
    if (comParser)
        comParser();
}

void UdpLink::reportFailure(int number, const QString& description) {
    // Datagrams keep arriving while the box is open; their failures must not stack up boxes.
    if (errorBoxOpen_)
        return;
    errorBoxOpen_ = true;
    c_.CommonDialog1->errorBox(number, description);
    errorBoxOpen_ = false;
}

int UdpLink::UDP_Send(QByteArray& UDPString) {
    if (c_.Winsock1->state() != UdpSocket::StateOpen)
        return 0;
    if (c_.Check2->isChecked()) {
        const auto wrapped = mdcLine(UDPString, Cp1251::toBytes(c_.Text4->text()));
        if (!wrapped)
            return 0;
        UDPString = *wrapped;
    }
    if (c_.Winsock1->send(UDPString) < 0)
        return 0;
    return int(UDPString.size());
}
