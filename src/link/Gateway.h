#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <optional>

// The two gateway formats and the serial framed-receive cutter. Pure byte work, no widgets.

// The "MDC" line that asks an intermediary board to pass a command on to the board at a MODBUS
// address: "MDC " + address exactly as typed + "," + text without its last two characters (the
// caller's CR LF) + CR LF. Nothing when the text is shorter than two characters.
std::optional<QByteArray> mdcLine(const QByteArray& text, const QByteArray& address);

// The MODBUS address typed into the "Addr" box of the serial panel: the leading decimal number
// of the text, rounded to the nearest integer (a tie goes to the even neighbour, as the
// conversion to the address character always has). Leading blanks are skipped and one sign is
// taken, so "-1" gives -1 and "300" gives 300, which no frame can carry; digits followed by
// anything else end the number ("16abc" gives 16, "1e2" gives 1); text without a leading number
// gives 0. Values beyond +/-1000000 are clamped there (out of range either way).
int rtuAddress(const QString& text);

// A console-text frame: address, "C", payload length, payload, CRC-16 (low byte first).
// Nothing when the address is outside 0..255 or the payload longer than 255 bytes.
std::optional<QByteArray> consoleTextFrame(int address, const QByteArray& payload);

struct CutAction {
    enum class Kind { Console, Route };
    Kind kind;
    // Console: the whole text to append (CR LF, message, data). Route: the frame's payload.
    QByteArray bytes;

    bool operator==(const CutAction&) const = default;
};

// Cuts console-text frames from the front of the bytes received on the serial line. Every
// pass reports a wrong address or function code at the front of the buffer (these only report;
// cutting goes on), then cuts one frame if the buffer holds a whole one. The messages carry the
// latest data: the chunk received last, or on a later pass the previous frame's payload. A
// frame with a bad CRC is still routed.
class FrameCutter {
public:
    enum class Stop {
        FrameCut, // a frame was cut; its Route action is the last of the pass
        Waiting,  // the buffer holds less than a whole frame; the rest comes in a later read
    };

    // A received chunk joins what waits.
    void add(const QByteArray& chunk);
    // A partial frame followed by silence, or a send, starts the next frame clean.
    void clear() { buffer_.clear(); }
    bool empty() const { return buffer_.isEmpty(); }
    const QByteArray& waiting() const { return buffer_; }

    // One pass for the board at `address`. The actions of the pass are appended to `actions`
    // in the order they must be performed.
    Stop pass(quint8 address, QList<CutAction>& actions);

private:
    QByteArray buffer_;
    QByteArray latest_;
};
