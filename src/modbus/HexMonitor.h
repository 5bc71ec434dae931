#pragma once

#include "modbus/BoundedText.h"
#include "modbus/BoundedTextView.h"

#include <QObject>
#include <functional>

struct HexControls;
struct ModbusState;
struct TrafficState;

// The "HEX" panel: every received chunk, raw as it came from the link, as hex bytes. It is also
// the one door through which chunks reach the MODBUS reply parser.
class HexMonitor : public QObject {
    Q_OBJECT
public:
    HexMonitor(HexControls& hex, TrafficState& traffic, ModbusState& modbus,
               QObject* parent = nullptr);
    void connectControls();

    // The reply parser panel, run for every chunk the monitor takes (it reads ModbusPacket and
    // decides for itself whether it is enabled).
    std::function<void()> Modbus_Parser;

    // Called by both links for every chunk, before the router; reads RxData.
    void HEX_parser();
    void Command6_Click();

    const BoundedText& model() const { return model_; }
    BoundedTextView& view() { return view_; }

private:
    HexControls& hex_;
    TrafficState& traffic_;
    ModbusState& modbus_;
    BoundedText model_{BoundedText::HexTrimAbove, BoundedText::HexTrimTo};
    BoundedTextView view_;
};
