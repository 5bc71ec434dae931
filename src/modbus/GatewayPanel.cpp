#include "modbus/GatewayPanel.h"

#include "form/Controls.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

GatewayPanel::GatewayPanel(GatewayControls& gateway, RtuControls& rtu, FlashDiskControls& flashDisk,
                           CommandLineControls& line, LinkControls& link, QObject* parent)
    : QObject(parent), gateway_(gateway), rtu_(rtu), flashDisk_(flashDisk), line_(line),
      link_(link) {
}

void GatewayPanel::connectControls() {
    connect(gateway_.Check2, &QCheckBox::toggled, this, &GatewayPanel::Check2_Click);
    connect(rtu_.Check1, &QCheckBox::toggled, this, &GatewayPanel::Check1_Click);
    connect(gateway_.Command7, &QPushButton::clicked, this, &GatewayPanel::Command7_Click);
    connect(rtu_.Command8, &QPushButton::clicked, this, &GatewayPanel::Command8_Click);
    connect(link_.cbBind, &QPushButton::clicked, this, &GatewayPanel::keepFlashDiskClosed);
}

// File transfers cannot pass through the "MDC" wrapping, so "Flash disk" is out of reach while
// the Ethernet gateway is on. The box can only be clicked while the UDP link is up, which is
// also when "Flash disk" is open otherwise.
void GatewayPanel::Check2_Click() {
    flashDisk_.Frame2->setEnabled(!gateway_.Check2->isChecked());
    line_.tbSendData->setFocus();
}

// A Connect with the gateway box still ticked from an earlier connection opens "Flash disk"
// with the rest of the link's panels; the mode keeps it closed.
void GatewayPanel::keepFlashDiskClosed() {
    if (gateway_.Check2->isChecked() && links.socketOpen && links.socketOpen())
        flashDisk_.Frame2->setEnabled(false);
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
