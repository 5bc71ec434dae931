#include "modbus/HexMonitor.h"

#include "core/TerminalState.h"
#include "form/Controls.h"
#include "modbus/HexText.h"

#include <QCheckBox>
#include <QPushButton>

HexMonitor::HexMonitor(HexControls& hex, TrafficState& traffic, ModbusState& modbus,
                       QObject* parent)
    : QObject(parent), hex_(hex), traffic_(traffic), modbus_(modbus), view_(model_, hex.Text1) {
}

void HexMonitor::connectControls() {
    connect(hex_.Command6, &QPushButton::clicked, this, &HexMonitor::Command6_Click);
}

void HexMonitor::HEX_parser() {
    if (!hex_.Check12->isChecked())
        return;
    modbus_.ModbusPacket = traffic_.RxData;
    if (Modbus_Parser)
        Modbus_Parser();
    // The whole chunk in one append: the same text and the same cut as byte by byte, at a
    // fraction of the cost.
    model_.append(HexText::logEntry(traffic_.RxData));
}

void HexMonitor::Command6_Click() {
    model_.clear();
}
