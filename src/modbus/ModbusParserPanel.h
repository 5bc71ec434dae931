#pragma once

#include "modbus/BoundedText.h"
#include "modbus/BoundedTextView.h"

#include <QObject>

struct ModbusParserControls;
struct ModbusState;

// The "MODBUS Parser" panel: an account of every chunk the hex monitor hands over, read as a
// MODBUS reply, with the reply time of the last request sent from the builder.
class ModbusParserPanel : public QObject {
    Q_OBJECT
public:
    ModbusParserPanel(ModbusParserControls& parser, ModbusState& modbus, QObject* parent = nullptr);
    void connectControls();

    // Appends the account of `packet` to parserEdit while parserEnableCheck is ticked.
    void showReply(const QByteArray& packet);
    void clear();

    const BoundedText& model() const { return model_; }
    BoundedTextView& view() { return view_; }

private:
    ModbusParserControls& parser_;
    ModbusState& modbus_;
    // Far above normal use, so only a flood is ever cut.
    BoundedText model_{BoundedText::ParserTrimAbove, BoundedText::ParserTrimTo};
    BoundedTextView view_;
};
