#include "board/Crc16.h"

namespace board {

std::uint16_t crc16(const char* data, qsizetype size) {
    std::uint16_t crc = 0xFFFF;
    for (qsizetype i = 0; i < size; ++i) {
        crc ^= static_cast<std::uint8_t>(data[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001)
                            : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

void appendCrc(QByteArray& frame) {
    const std::uint16_t crc = crc16(frame);
    frame.append(static_cast<char>(crc & 0xFF));
    frame.append(static_cast<char>(crc >> 8));
}

bool hasValidCrc(const char* frame, qsizetype size) {
    if (size < 3)
        return false;
    const std::uint16_t crc = crc16(frame, size - 2);
    return static_cast<std::uint8_t>(frame[size - 2]) == (crc & 0xFF) &&
           static_cast<std::uint8_t>(frame[size - 1]) == (crc >> 8);
}

} // namespace board
