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
    connect(gateway_.Check2, &QCheckBox::toggled, this, &GatewayPanel::Check2_Click);
    connect(rtu_.Check1, &QCheckBox::toggled, this, &GatewayPanel::Check1_Click);
    connect(gateway_.Command7, &QPushButton::clicked, this, &GatewayPanel::Command7_Click);
    connect(rtu_.Command8, &QPushButton::clicked, this, &GatewayPanel::Command8_Click);
}

void GatewayPanel::Check2_Click() {
    line_.tbSendData->setFocus();
}

void GatewayPanel::Check1_Click() {
    line_.tbSendData->setFocus();
}

// Meant for the intermediary board itself, so it goes to the socket as a plain datagram even in
// the gateway mode. A failed send is as quiet as any other UDP send.
void GatewayPanel::Command7_Click() {
    line_.tbSendData->setFocus();
    if (links.socketOpen && links.socketOpen())
        links.sendDatagram(initCommand());
}

// The USB controller's own set-up: to the port as it stands, neither framed nor wrapped.
void GatewayPanel::Command8_Click() {
    if (rtu_.Check3->isChecked() && links.portOpen && links.portOpen())
        links.writePort(initCommand());
}
