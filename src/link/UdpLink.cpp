#include "link/UdpLink.h"

#include "core/Cp1251.h"
#include "form/Controls.h"
#include "link/BoardLink.h"

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
    connect(link_.cbBind, &QPushButton::clicked, this, &UdpLink::cbBind_Click);
    connect(link_.Command1, &QPushButton::clicked, this, &UdpLink::Command1_Click);
    // Any datagram shows the link as up.
    connect(&board_, &BoardLink::received, this, [this](const QByteArray&, Channel from) {
        if (from != Channel::Udp)
            return;
        link_.YesConnect->show();
        link_.NoConnect->hide();
    });
    connect(gateway_.Check2, &QCheckBox::toggled, this, &UdpLink::applyGateway);
    connect(gateway_.Text4, &QLineEdit::textChanged, this, &UdpLink::applyGateway);
    applyGateway();
}

void UdpLink::applyGateway() {
    board_.setUdpGateway(gateway_.Check2->isChecked()
                             ? std::optional<QByteArray>(Cp1251::toBytes(gateway_.Text4->text()))
                             : std::nullopt);
}

void UdpLink::cbBind_Click() {
    line_.tbSendData->clear();
    if (board_.serialOpen())
        return;
#ifdef Q_OS_WIN
    // Forget stale address resolutions, in the background so Connect never waits on it.
    QProcess::startDetached(QStringLiteral("cmd.exe"),
                            {QStringLiteral("/c"), QStringLiteral("arp -d *")});
#endif
    const auto failed = board_.openUdp(link_.ComboRemoteIP->currentText(),
                                       link_.tbRemotePort->text(), link_.tbLocalPort->text());
    if (failed) { // quietly: the operator sees Connect still enabled
        link_.cbBind->setEnabled(true);
        return;
    }
    link_.cbBind->setEnabled(false);
    link_.YesConnect->show();
    link_.NoConnect->hide();
    line_.tbSendData->setFocus();
    gateway_.Frame6->setEnabled(true);
}

void UdpLink::Command1_Click() {
    line_.tbSendData->clear();
    if (board_.serialOpen())
        return;
    board_.closeUdp();
    link_.cbBind->setEnabled(true);
    link_.YesConnect->hide();
    link_.NoConnect->show();
    gateway_.Frame6->setEnabled(false);
}
