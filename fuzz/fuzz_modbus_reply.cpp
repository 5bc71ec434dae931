// parseModbusReply and its account on any bytes: nothing read past the chunk, the account always
// closes with its empty line, and a CRC judged good is one that checks over the whole chunk.
#include "FuzzInput.h"

#include "modbus/Crc16.h"
#include "modbus/HexText.h"
#include "modbus/ModbusReply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy of exactly `size` bytes, so the sanitizer sees any read beyond the chunk.
    const QByteArray chunk(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const ModbusReply reply = parseModbusReply(chunk, size % 2 == 0, static_cast<qint64>(size));
    const QByteArray account = renderModbusReply(reply);
    check(account.endsWith("\r\n\r\n"));
    check(reply.values.size() <= 128);
    check(reply.address.has_value() == (size >= 1));
    check(reply.function.has_value() == (size >= 2));
    if (reply.recognized())
        check(reply.crc->good() == (crc16Value(chunk) == 0));
    else
        check(account.endsWith(" Package not recognized \r\n\r\n"));
    if (reply.text)
        check(reply.text->size() == chunk.size() - 5);

    // The hex monitor's entry for the same chunk: three characters a byte, then the blank line.
    const QByteArray entry = HexText::logEntry(chunk);
    check(entry.size() == chunk.size() * 3 + 4);
    return 0;
}
