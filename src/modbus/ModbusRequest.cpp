#include "modbus/ModbusRequest.h"

#include "core/Cp1251.h"
#include "modbus/Crc16.h"
#include "modbus/HexText.h"

namespace {

constexpr qsizetype MaxDataBytes = 255;

ModbusRequest refused(ModbusRefusal why) {
    return ModbusRequest{{}, why};
}

void appendWord(QByteArray& frame, quint16 value) {
    frame.append(static_cast<char>(value >> 8));
    frame.append(static_cast<char>(value & 0xFF));
}

// A two-byte field in hex or decimal; nothing when the decimal number does not fit.
std::optional<quint16> wordOf(const QString& text, bool hex) {
    if (hex)
        return HexText::wordField(text);
    return HexText::decimalField(text);
}

} // namespace

ModbusRequest buildModbusRequest(const ModbusRequestFields& f) {
    QByteArray frame;
    if (!f.deviceAddress.isEmpty())
        frame.append(static_cast<char>(HexText::byteField(f.deviceAddress)));
    if (!f.function.isEmpty())
        frame.append(static_cast<char>(HexText::byteField(f.function)));

    if (f.withDataAddress) {
        const auto address = wordOf(f.dataAddress, f.dataAddressIsHex);
        if (!address)
            return refused(ModbusRefusal::AddressOutOfRange);
        appendWord(frame, *address);
    }
    if (f.withQuantity) {
        const auto quantity = wordOf(f.quantity, f.quantityIsHex);
        if (!quantity)
            return refused(ModbusRefusal::QuantityOutOfRange);
        appendWord(frame, *quantity);
    }

    if (f.withDataBlock) {
        const QString& data = f.dataBlock;
        if (f.dataBlockIsHex) {
            if (data.size() % 2 != 0)
                return refused(ModbusRefusal::OddHexData);
            const qsizetype n = data.size() / 2;
            if (n > MaxDataBytes)
                return refused(ModbusRefusal::DataTooLong);
            frame.append(static_cast<char>(n));
            for (qsizetype i = 0; i < n; ++i)
                frame.append(
                    static_cast<char>(HexText::byteField(QStringView(data).mid(2 * i, 2))));
        } else {
            if (data.size() > MaxDataBytes)
                return refused(ModbusRefusal::DataTooLong);
            // One byte per character; a character the code page lacks would go out as '?'.
            const QByteArray bytes = Cp1251::toBytes(data);
            if (Cp1251::toText(bytes) != data)
                return refused(ModbusRefusal::DataNotEncodable);
            frame.append(static_cast<char>(bytes.size()));
            frame.append(bytes);
        }
    }

    if (f.withCrc)
        frame.append(crc16Bytes(frame));
    if (f.withCrLf)
        frame.append("\r\n");
    return ModbusRequest{frame, std::nullopt};
}
