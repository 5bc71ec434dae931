#include "modbus/HexMonitor.h"

#include "form/Controls.h"
#include "modbus/HexText.h"

#include <QCheckBox>
#include <QPushButton>

HexMonitor::HexMonitor(HexControls& hex, QObject* parent)
    : QObject(parent), hex_(hex), view_(model_, hex.Text1) {
}

void HexMonitor::connectControls() {
    connect(hex_.Command6, &QPushButton::clicked, this, &HexMonitor::Command6_Click);
}

void HexMonitor::HEX_parser(const QByteArray& chunk) {
    if (!hex_.Check12->isChecked())
        return;
    if (toParser)
        toParser(chunk);
    // The whole chunk in one append: the same text and the same cut as byte by byte, at a
    // fraction of the cost.
    model_.append(HexText::logEntry(chunk));
}

void HexMonitor::Command6_Click() {
    model_.clear();
}
