#include "link/UdpLink.h"

#include "core/Cp1251.h"
#include "form/Controls.h"
#include "link/BoardLink.h"
#include "link/HostEntry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>

UdpLink::UdpLink(LinkControls& link, GatewayControls& gateway, CommandLineControls& line,
                 BoardLink& board, QObject* parent)
    : QObject(parent), link_(link), gateway_(gateway), line_(line), board_(board) {
}

void UdpLink::connectControls() {
    connect(link_.connectButton, &QPushButton::clicked, this, &UdpLink::connectClicked);
    connect(link_.disconnectButton, &QPushButton::clicked, this, &UdpLink::disconnectClicked);
    // Any datagram shows the link as up.
    connect(&board_, &BoardLink::received, this, [this](const QByteArray&, Channel from) {
        if (from != Channel::Udp)
            return;
        link_.connectedMark->show();
        link_.disconnectedMark->hide();
    });
    // A port typed while connected goes with the next datagram; until it is a port, the old
    // one stays.
    connect(link_.remotePortEdit, &QLineEdit::textChanged, this, [this](const QString& port) {
        if (board_.udpOpen())
            board_.setRemotePort(port);
    });
    connect(gateway_.ethGatewayCheck, &QCheckBox::toggled, this, &UdpLink::applyGateway);
    connect(gateway_.ethAddressEdit, &QLineEdit::textChanged, this, &UdpLink::applyGateway);
    applyGateway();
}

void UdpLink::applyGateway() {
    board_.setUdpGateway(
        gateway_.ethGatewayCheck->isChecked()
            ? std::optional<QByteArray>(Cp1251::toBytes(gateway_.ethAddressEdit->text()))
            : std::nullopt);
}

void UdpLink::connectClicked() {
    line_.commandEdit->clear();
    if (board_.serialOpen())
        return;
#ifdef Q_OS_WIN
    // Forget stale address resolutions, in the background so Connect never waits on it.
    QProcess::startDetached(QStringLiteral("cmd.exe"),
                            {QStringLiteral("/c"), QStringLiteral("arp -d *")});
#endif
    // An entry that names its port ("127.0.0.1:1111") overrides the Remote-Port box, and the
    // box shows where the lines go.
    const HostEntry entry = splitHostEntry(link_.hostCombo->currentText());
    if (entry.port)
        link_.remotePortEdit->setText(*entry.port);
    const auto failed =
        board_.openUdp(entry.host, link_.remotePortEdit->text(), link_.localPortEdit->text());
    if (failed) { // quietly: the operator sees Connect still enabled
        link_.connectButton->setEnabled(true);
        return;
    }
    link_.connectButton->setEnabled(false);
    link_.connectedMark->show();
    link_.disconnectedMark->hide();
    line_.commandEdit->setFocus();
    gateway_.ethGatewayFrame->setEnabled(true);
}

void UdpLink::disconnectClicked() {
    line_.commandEdit->clear();
    if (board_.serialOpen())
        return;
    board_.closeUdp();
    link_.connectButton->setEnabled(true);
    link_.connectedMark->hide();
    link_.disconnectedMark->show();
    gateway_.ethGatewayFrame->setEnabled(false);
}
