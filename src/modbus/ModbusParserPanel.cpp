#include "modbus/ModbusParserPanel.h"

#include "core/TerminalState.h"
#include "form/Controls.h"
#include "modbus/ModbusReply.h"
#include "modbus/TickCount.h"

#include <QCheckBox>
#include <QLocale>
#include <QPushButton>

namespace {
// "Number param = 1.5" follows the system's number format where its decimal point is one byte.
char systemDecimalPoint() {
    const QString point = QLocale::system().decimalPoint();
    return point.size() == 1 && point[0].unicode() < 0x80 ? char(point[0].unicode()) : '.';
}
} // namespace

ModbusParserPanel::ModbusParserPanel(ModbusParserControls& parser, ModbusState& modbus,
                                     QObject* parent)
    : QObject(parent), parser_(parser), modbus_(modbus), view_(model_, parser.parserEdit) {
}

void ModbusParserPanel::connectControls() {
    connect(parser_.clearParserButton, &QPushButton::clicked, this, &ModbusParserPanel::clear);
}

void ModbusParserPanel::showReply(const QByteArray& packet) {
    // Unticked, the request stays pending: the first parse after ticking still shows its time.
    if (!parser_.parserEnableCheck->isChecked())
        return;
    const bool waitReply = modbus_.replyAwaited == 1;
    const ModbusReply reply = parseModbusReply(
        packet, waitReply, waitReply ? TickCount::since(modbus_.requestSentAt) : 0);
    modbus_.replyAwaited = 0;
    model_.append(renderModbusReply(reply, systemDecimalPoint()));
}

void ModbusParserPanel::clear() {
    model_.clear();
}
