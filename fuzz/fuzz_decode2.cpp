// hexByteValue and crc16Bytes on any bytes: values stay in range and agree with a plain reference.
#include "FuzzInput.h"

#include "modbus/Crc16.h"

namespace {

int digit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const int value = hexByteValue(bytes);
    check(value >= 0 && value <= 255);
    if (size == 2)
        check(value == digit(bytes[0]) * 16 + digit(bytes[1]));
    else if (size == 1)
        check(value == digit(bytes[0]) && value == hexDigitValue(bytes));
    else
        check(value == 0);

    // A frame closed with its CRC checks to zero over its whole length.
    const QByteArray crc = crc16Bytes(bytes);
    check(crc.size() == 2);
    check(crc16Value(bytes + crc) == 0);
    return 0;
}
