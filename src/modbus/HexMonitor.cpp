#include "modbus/HexMonitor.h"

#include "form/Controls.h"
#include "modbus/HexText.h"

#include <QCheckBox>
#include <QPushButton>

HexMonitor::HexMonitor(HexControls& hex, QObject* parent)
    : QObject(parent), hex_(hex), view_(model_, hex.hexEdit) {
}

void HexMonitor::connectControls() {
    connect(hex_.clearHexButton, &QPushButton::clicked, this, &HexMonitor::clear);
}

void HexMonitor::showChunk(const QByteArray& chunk) {
    if (!hex_.hexEnableCheck->isChecked())
        return;
    if (toParser)
        toParser(chunk);
    // The whole chunk in one append: the same text and the same cut as byte by byte, at a
    // fraction of the cost.
    model_.append(HexText::logEntry(chunk));
}

void HexMonitor::clear() {
    model_.clear();
}
