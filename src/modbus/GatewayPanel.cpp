#include "modbus/GatewayPanel.h"

#include "form/Controls.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

GatewayPanel::GatewayPanel(GatewayControls& gateway, RtuControls& rtu, CommandLineControls& line,
                           QObject* parent)
    : QObject(parent), gateway_(gateway), rtu_(rtu), line_(line) {
}

void GatewayPanel::connectControls() {
    connect(gateway_.ethGatewayCheck, &QCheckBox::toggled, this, &GatewayPanel::ethGatewayToggled);
    connect(rtu_.rtuGatewayCheck, &QCheckBox::toggled, this, &GatewayPanel::rtuGatewayToggled);
    connect(gateway_.initEthPortButton, &QPushButton::clicked, this, &GatewayPanel::initEthPort);
    connect(rtu_.initUsbPortButton, &QPushButton::clicked, this, &GatewayPanel::initUsbPort);
}

void GatewayPanel::ethGatewayToggled() {
    line_.commandEdit->setFocus();
}

void GatewayPanel::rtuGatewayToggled() {
    line_.commandEdit->setFocus();
}

// Meant for the intermediary board itself, so it goes to the socket as a plain datagram even in
// the gateway mode. A failed send is as quiet as any other UDP send.
void GatewayPanel::initEthPort() {
    line_.commandEdit->setFocus();
    if (links.socketOpen && links.socketOpen())
        links.sendDatagram(initCommand());
}

// The USB controller's own set-up: to the port as it stands, neither framed nor wrapped.
void GatewayPanel::initUsbPort() {
    if (rtu_.viaUsbCheck->isChecked() && links.portOpen && links.portOpen())
        links.writePort(initCommand());
}
