#pragma once

#include "modbus/BoundedText.h"
#include "modbus/BoundedTextView.h"
#include "modbus/RawLinks.h"

#include <QObject>
#include <functional>
#include <optional>

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
    // Whether Send has a link to write to.
    bool linkOpen() const;
    // Writes a built frame to every open link and starts the parser's reply clock.
    std::optional<Failure> writeFrame(const QByteArray& frame);
    // Appends a frame to the sent frames box.
    void logFrame(const QByteArray& frame);
    // Asked first on every click of Send: true when polling took the click (started or
    // stopped), so no single frame goes out.
    std::function<bool()> sendClickTaken;

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
