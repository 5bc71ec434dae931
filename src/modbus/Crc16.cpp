#include "modbus/Crc16.h"

#include <array>

namespace {

// One table entry per byte value: the effect of eight shift/XOR rounds on a zero register.
constexpr std::array<quint16, 256> makeTable() {
    std::array<quint16, 256> table{};
    for (unsigned b = 0; b < 256; ++b) {
        unsigned crc = b;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1u) ? (crc >> 1) ^ 0xA001u : crc >> 1;
        table[b] = static_cast<quint16>(crc);
    }
    return table;
}

constexpr std::array<quint16, 256> crcTable = makeTable();

} // namespace

quint16 crc16Value(const QByteArray& bytes) {
    unsigned crc = 0xFFFF;
    for (const char c : bytes)
        crc = (crc >> 8) ^ crcTable[(crc ^ static_cast<unsigned char>(c)) & 0xFFu];
    return static_cast<quint16>(crc);
}

QByteArray crc16Bytes(const QByteArray& bytes) {
    const quint16 crc = crc16Value(bytes);
    QByteArray out(2, '\0');
    out[0] = static_cast<char>(crc & 0xFF);
    out[1] = static_cast<char>(crc >> 8);
    return out;
}

namespace {

// Upper case only: the board sends upper-case hex and anything else is treated as 0.
qint16 digitValue(char c) {
    if (c >= '0' && c <= '9')
        return static_cast<qint16>(c - '0');
    if (c >= 'A' && c <= 'F')
        return static_cast<qint16>(c - 'A' + 10);
    return 0;
}

} // namespace

qint16 hexDigitValue(const QByteArray& text) {
    return text.size() == 1 ? digitValue(text.at(0)) : qint16(0);
}

qint16 hexByteValue(const QByteArray& text) {
    if (text.size() == 2)
        return static_cast<qint16>(digitValue(text.at(0)) * 16 + digitValue(text.at(1)));
    if (text.size() == 1)
        return digitValue(text.at(0));
    return 0;
}
