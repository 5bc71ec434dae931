#include "link/UdpLink.h"

#include "core/Cp1251.h"
#include "core/TerminalState.h"
#include "form/Controls.h"
#include "form/Dialogs.h"
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

UdpLink::UdpLink(LinkControls& link, GatewayControls& gateway, FlashDiskControls& flashDisk,
                 CommandLineControls& line, Dialogs& dialogs, TrafficState& s, QObject* parent)
    : QObject(parent), link_(link), gateway_(gateway), flashDisk_(flashDisk), line_(line),
      dialogs_(dialogs), s_(s) {
    // Belt and braces for the read notifier: should it ever stay off after a burst that was
    // read in slices, this slow poll still drains the socket, so the link never goes deaf.
    keepReading_.setInterval(KeepReadingMs);
    connect(&keepReading_, &QTimer::timeout, this, &UdpLink::Winsock1_DataArrival);
}

void UdpLink::connectControls() {
    connect(link_.cbBind, &QPushButton::clicked, this, &UdpLink::cbBind_Click);
    connect(link_.Command1, &QPushButton::clicked, this, &UdpLink::Command1_Click);
    connect(link_.Winsock1, &UdpSocket::dataArrival, this, &UdpLink::Winsock1_DataArrival);
}

void UdpLink::cbBind_Click() {
    line_.tbSendData->clear();
    if (serialIsOpen())
        return;
#ifdef Q_OS_WIN
    // Forget stale address resolutions, in the background so Connect never waits on it.
    QProcess::startDetached(QStringLiteral("cmd.exe"),
                            {QStringLiteral("/c"), QStringLiteral("arp -d *")});
#endif
    UdpSocket& sock = *link_.Winsock1;
    sock.setProtocolUdp();
    std::optional<Failure> failed = sock.setRemotePort(link_.tbRemotePort->text());
    if (!failed)
        failed = sock.setRemoteHost(link_.ComboRemoteIP->currentText());
    if (!failed)
        failed = sock.bind(link_.tbLocalPort->text());
    if (failed) { // quietly: the operator sees Connect still enabled
        sock.close();
        link_.cbBind->setEnabled(true);
        return;
    }
    keepReading_.start();
    link_.cbBind->setEnabled(false);
    link_.YesConnect->show();
    link_.NoConnect->hide();
    line_.tbSendData->setFocus();
    gateway_.Frame6->setEnabled(true);
    flashDisk_.Frame2->setEnabled(true);
}

void UdpLink::Command1_Click() {
    line_.tbSendData->clear();
    if (serialIsOpen())
        return;
    link_.Winsock1->close();
    keepReading_.stop();
    link_.cbBind->setEnabled(true);
    link_.YesConnect->hide();
    link_.NoConnect->show();
    gateway_.Frame6->setEnabled(false);
    flashDisk_.Frame2->setEnabled(false);
}

void UdpLink::Winsock1_DataArrival() {
    // Everything waiting is read, in slices: under a flood the queue never runs dry, and one
    // endless handler would freeze painting, timers and keys. What is left after a slice is
    // read by a queued call of our own, so no datagram waits for an event that may not come.
    QElapsedTimer slice;
    slice.start();
    while (link_.Winsock1->state() == UdpSocket::StateOpen) {
        const qint64 size = link_.Winsock1->pendingDatagramSize();
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
    s_.RxData.clear();
    Expected<QByteArray> datagram = link_.Winsock1->read(size);
    if (!datagram)
        return reportFailure(datagram.failure());
    s_.RxData = std::move(datagram.value());
    // A log that cannot be written costs the log, not the console: the chunk goes on, and the
    // failure is shown once the chunk has reached the router (once per run of failures).
    const std::optional<Failure> logFailed = s_.LogFileNumber.append(s_.RxData);
    link_.YesConnect->show();
    link_.NoConnect->hide();
    if (hexParser)
        hexParser();
    if (comParser)
        comParser();
    if (logFailed)
        reportFailure(*logFailed);
}

void UdpLink::reportFailure(const Failure& failure) {
    // Datagrams keep arriving while the box is open; their failures must not stack up boxes.
    if (errorBoxOpen_)
        return;
    errorBoxOpen_ = true;
    dialogs_.report(failure);
    errorBoxOpen_ = false;
}

int UdpLink::UDP_Send(QByteArray& UDPString) {
    if (link_.Winsock1->state() != UdpSocket::StateOpen)
        return 0;
    if (gateway_.Check2->isChecked()) {
        const auto wrapped = mdcLine(UDPString, Cp1251::toBytes(gateway_.Text4->text()));
        if (!wrapped)
            return 0;
        UDPString = *wrapped;
    }
    if (!link_.Winsock1->send(UDPString))
        return 0;
    return int(UDPString.size());
}
