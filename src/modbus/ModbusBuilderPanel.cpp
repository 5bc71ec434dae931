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
      view_(model_, builder.sentFramesEdit) {
}

void ModbusBuilderPanel::connectControls() {
    connect(builder_.sendFrameButton, &QPushButton::clicked, this, [this] {
        if (!sendClickTaken || !sendClickTaken())
            sendFrame();
    });
    connect(builder_.clearFramesButton, &QPushButton::clicked, this, &ModbusBuilderPanel::clear);
}

ModbusRequestFields ModbusBuilderPanel::fields() const {
    const ModbusBuilderControls& b = builder_;
    ModbusRequestFields f;
    f.deviceAddress = b.deviceAddressEdit->text();
    f.function = b.functionEdit->text();
    f.dataAddress = b.dataAddressEdit->text();
    f.dataAddressIsHex = b.dataAddressHexCheck->isChecked();
    f.withDataAddress = b.dataAddressCheck->isChecked();
    f.quantity = b.quantityEdit->text();
    f.quantityIsHex = b.quantityHexCheck->isChecked();
    f.withQuantity = b.quantityCheck->isChecked();
    f.withDataBlock = b.dataBlockCheck->isChecked();
    f.dataBlock = b.dataBlockEdit->text();
    f.dataBlockIsHex = b.dataHexOption->isChecked();
    f.withCrc = b.crcCheck->isChecked();
    f.withCrLf = b.crlfCheck->isChecked();
    return f;
}

void ModbusBuilderPanel::sendFrame() {
    const ModbusRequest request = buildModbusRequest(fields());
    if (!request.ok()) {
        // Nothing is sent, stamped or logged for a frame with a field that cannot be encoded.
        dialogs_.message(QCoreApplication::applicationName(),
                         QString::fromLatin1(InvalidDataMessage));
        return;
    }
    const std::optional<Failure> failed = writeFrame(request.frame);
    logFrame(request.frame);
    // The log still shows what was meant to go out; the box says it did not.
    if (failed)
        dialogs_.report(*failed);
}

bool ModbusBuilderPanel::linkOpen() const {
    return (links.socketOpen && links.socketOpen()) || (links.portOpen && links.portOpen());
}

std::optional<Failure> ModbusBuilderPanel::writeFrame(const QByteArray& frame) {
    // Straight to the links: the gateway modes wrap command lines, never a built frame.
    std::optional<Failure> failed;
    if (links.socketOpen && links.socketOpen())
        failed = links.sendDatagram(frame);
    if (links.portOpen && links.portOpen()) {
        if (const auto written = links.writePort(frame))
            failed = written;
    }
    modbus_.replyAwaited = 1;
    modbus_.requestSentAt = TickCount::now();
    return failed;
}

void ModbusBuilderPanel::logFrame(const QByteArray& frame) {
    model_.append(HexText::logEntry(frame));
}

void ModbusBuilderPanel::clear() {
    model_.clear();
}
