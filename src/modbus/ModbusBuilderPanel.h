#pragma once

#include "modbus/BoundedText.h"
#include "modbus/BoundedTextView.h"
#include "modbus/RawLinks.h"

#include <QObject>

class Dialogs;
struct ModbusBuilderControls;
struct ModbusRequestFields;
struct ModbusState;

// The "MODBUS" panel: builds a frame field by field, writes it straight to whichever link is
// open (never through the gateway wrapping), stamps the time for the reply parser and logs the
// frame in hex.
class ModbusBuilderPanel : public QObject {
    Q_OBJECT
public:
    ModbusBuilderPanel(ModbusBuilderControls& builder, ModbusState& modbus, Dialogs& dialogs,
                       QObject* parent = nullptr);
    // Set by the window: where the frame is written.
    RawLinks links;
    void connectControls();

    void sendFrame();
    void clear();

    // The fields as the Send button reads them.
    ModbusRequestFields fields() const;

    const BoundedText& model() const { return model_; }
    BoundedTextView& view() { return view_; }

private:
    ModbusBuilderControls& builder_;
    ModbusState& modbus_;
    Dialogs& dialogs_;
    BoundedText model_{BoundedText::HexTrimAbove, BoundedText::HexTrimTo};
    BoundedTextView view_;
};
