#pragma once

#include "modbus/BoundedText.h"
#include "modbus/BoundedTextView.h"

#include <QObject>
#include <functional>

struct HexControls;

// The "HEX" panel: every received chunk, raw as it came from the link, as hex bytes. It is also
// the one door through which chunks reach the MODBUS reply parser.
class HexMonitor : public QObject {
    Q_OBJECT
public:
    explicit HexMonitor(HexControls& hex, QObject* parent = nullptr);
    void connectControls();

    // The reply parser panel, handed every chunk the monitor takes (it decides for itself
    // whether it is enabled).
    std::function<void(const QByteArray& packet)> toParser;

    // Every raw chunk from either link, before the board text reaches the console.
    void showChunk(const QByteArray& chunk);
    void clear();

    const BoundedText& model() const { return model_; }
    BoundedTextView& view() { return view_; }

private:
    HexControls& hex_;
    BoundedText model_{BoundedText::HexTrimAbove, BoundedText::HexTrimTo};
    BoundedTextView view_;
};
