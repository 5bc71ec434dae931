#include "modbus/ModbusBuilderPanel.h"

#include "core/TerminalState.h"
#include "form/Controls.h"
#include "form/Dialogs.h"
#include "modbus/HexText.h"
#include "modbus/ModbusRequest.h"
#include "modbus/TickCount.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

ModbusBuilderPanel::ModbusBuilderPanel(ModbusBuilderControls& builder, ModbusState& modbus,
                                       Dialogs& dialogs, QObject* parent)
    : QObject(parent), builder_(builder), modbus_(modbus), dialogs_(dialogs),
      view_(model_, builder.Text11) {
}

void ModbusBuilderPanel::connectControls() {
    connect(builder_.Command23, &QPushButton::clicked, this, &ModbusBuilderPanel::Command23_Click);
    connect(builder_.Command25, &QPushButton::clicked, this, &ModbusBuilderPanel::Command25_Click);
}

ModbusRequestFields ModbusBuilderPanel::fields() const {
    const ModbusBuilderControls& b = builder_;
    ModbusRequestFields f;
    f.deviceAddress = b.Text5->text();
    f.function = b.Text6->text();
    f.dataAddress = b.Text9->text();
    f.dataAddressIsHex = b.Check8->isChecked();
    f.withDataAddress = b.Check10->isChecked();
    f.quantity = b.Text10->text();
    f.quantityIsHex = b.Check9->isChecked();
    f.withQuantity = b.Check11->isChecked();
    f.withDataBlock = b.Check4->isChecked();
    f.dataBlock = b.Text7->text();
    f.dataBlockIsHex = b.Option7->isChecked();
    f.withCrc = b.Check5->isChecked();
    f.withCrLf = b.Check6->isChecked();
    return f;
}

void ModbusBuilderPanel::Command23_Click() {
    const ModbusRequest request = buildModbusRequest(fields());
    if (!request.ok()) {
        // Nothing is sent, stamped or logged for a frame with a field that cannot be encoded.
        dialogs_.message(QCoreApplication::applicationName(),
                         QString::fromLatin1(InvalidDataMessage));
        return;
    }
    const QByteArray& F = request.frame;
    // Straight to the links: the gateway modes wrap command lines, never a built frame.
    std::optional<Failure> failed;
    if (links.socketOpen && links.socketOpen())
        failed = links.sendDatagram(F);
    if (links.portOpen && links.portOpen()) {
        if (const auto written = links.writePort(F))
            failed = written;
    }
    modbus_.ModbusWaitReply = 1;
    modbus_.ModbusSendTime = TickCount::now();
    model_.append(HexText::logEntry(F));
    // The log still shows what was meant to go out; the box says it did not.
    if (failed)
        dialogs_.report(*failed);
}

void ModbusBuilderPanel::Command25_Click() {
    model_.clear();
}
