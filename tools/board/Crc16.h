#pragma once

#include <QByteArray>
#include <cstdint>

namespace board {

// CRC-16/MODBUS: reflected polynomial 0xA001, initial value 0xFFFF, no final xor.
// The simulator keeps its own CRC and frame code rather than the terminal's on purpose: it is an
// independent check, so a bug in the terminal's CRC cannot pass both sides of a frame test.
std::uint16_t crc16(const char* data, qsizetype size);
inline std::uint16_t crc16(const QByteArray& data) {
    return crc16(data.constData(), data.size());
}

// Appends the CRC of `frame`, low byte first, as it travels on the wire.
void appendCrc(QByteArray& frame);

// True when the last two bytes of `frame` are the CRC of the bytes before them.
bool hasValidCrc(const char* frame, qsizetype size);

} // namespace board
