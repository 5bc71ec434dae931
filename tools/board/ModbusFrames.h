#pragma once

#include <QByteArray>
#include <QList>
#include <array>
#include <cstdint>
#include <functional>

namespace board {

enum class FrameKind {
    None,           // not a frame for this board: treat the bytes as text
    Incomplete,     // looks like the start of a frame; more bytes should follow
    ConsoleText,    // address, 'C', length, payload, CRC
    BadConsoleText, // console-text frame whose CRC does not check out: ignored
    Rtu,            // any other frame with a good CRC
};

struct FrameMatch {
    FrameKind kind = FrameKind::None;
    qsizetype length = 0; // bytes the frame takes at the start of the input
};

constexpr char kConsoleText = 'C';
constexpr qsizetype kMaxConsolePayload = 255;

// Serial input has no datagram boundaries, so the frame length comes from its header.
FrameMatch matchSerialFrame(const QByteArray& data, std::uint8_t address);
// A datagram is a frame only when all of it is one, CRC included.
FrameMatch matchDatagram(const QByteArray& data, std::uint8_t address);

QByteArray consolePayload(const QByteArray& frame);
// Wraps `payload` in console-text frames of at most kMaxConsolePayload bytes each.
QList<QByteArray> wrapConsoleText(std::uint8_t address, const QByteArray& payload);

// The board's holding registers as seen over MODBUS RTU (functions 03, 06 and 16). Three of
// them change with time, so a polled plot has something to show; writes to them are taken and
// forgotten, as a board's input registers would:
//   90  a counter: tenths of a second since the start, 0..999 and round again (100 s);
//   91  a slow sine: 500 + 400 sin(2 pi t / 30 s), 100..900;
//   92  a noisy value: 500 + 100 sin(2 pi t / 47 s) plus noise of up to +-60, new at every read.
class RegisterBank {
public:
    static constexpr int kCount = 100;
    static constexpr int kCounter = 90;
    static constexpr int kSine = 91;
    static constexpr int kNoisy = 92;

    // `elapsedMs`: milliseconds since the board started; tests pass their own.
    explicit RegisterBank(std::function<qint64()> elapsedMs = {});

    // Reply to a frame whose address and CRC have been checked already.
    QByteArray respond(const QByteArray& frame);

private:
    QByteArray exception(const QByteArray& frame, std::uint8_t code) const;
    QByteArray readHolding(const QByteArray& frame);
    QByteArray writeSingle(const QByteArray& frame);
    QByteArray writeMultiple(const QByteArray& frame);
    std::uint16_t value(int reg);

    std::array<std::uint16_t, kCount> m_registers{};
    std::function<qint64()> m_elapsedMs;
    std::uint32_t m_noise = 12345; // the noise's own generator: the same run every start
};

} // namespace board
