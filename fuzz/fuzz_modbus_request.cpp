// The MODBUS request builder on any field texts and switches: a frame is refused only for a
// named reason, and a frame it builds has exactly the parts switched on, a length byte that
// counts its data, and a CRC that checks.
// Input: two bytes of switches, then the five field texts (UTF-8) separated by NUL bytes.
#include "FuzzInput.h"

#include "modbus/Crc16.h"
#include "modbus/HexText.h"
#include "modbus/ModbusRequest.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const quint16 on = quint16(data[0] | data[1] << 8);
    const QList<QByteArray> texts = inputBytes(data + 2, size - 2).split('\0');
    const auto text = [&texts](int i) {
        return QString::fromUtf8(texts.value(i));
    };
    ModbusRequestFields f;
    f.deviceAddress = text(0);
    f.function = text(1);
    f.dataAddress = text(2);
    f.quantity = text(3);
    f.dataBlock = text(4);
    f.dataAddressIsHex = on & 1;
    f.withDataAddress = on & 2;
    f.quantityIsHex = on & 4;
    f.withQuantity = on & 8;
    f.withDataBlock = on & 16;
    f.dataBlockIsHex = on & 32;
    f.withCrc = on & 64;
    f.withCrLf = on & 128;

    const ModbusRequest request = buildModbusRequest(f);
    if (!request.ok()) {
        check(request.frame.isEmpty());
        switch (*request.refusal) {
        case ModbusRefusal::AddressOutOfRange:
            check(f.withDataAddress && !f.dataAddressIsHex);
            break;
        case ModbusRefusal::QuantityOutOfRange:
            check(f.withQuantity && !f.quantityIsHex);
            break;
        case ModbusRefusal::OddHexData:
            check(f.withDataBlock && f.dataBlockIsHex && f.dataBlock.size() % 2 == 1);
            break;
        case ModbusRefusal::DataTooLong:
            check(f.withDataBlock && f.dataBlock.size() > (f.dataBlockIsHex ? 510 : 255));
            break;
        case ModbusRefusal::DataNotEncodable:
            check(f.withDataBlock && !f.dataBlockIsHex);
            break;
        }
        return 0;
    }
    QByteArray frame = request.frame;
    if (f.withCrLf) {
        check(frame.endsWith("\r\n"));
        frame.chop(2);
    }
    if (f.withCrc) {
        check(frame.size() >= 2 && crc16Value(frame) == 0);
        frame.chop(2);
    }
    qsizetype at = 0;
    const auto next = [&frame, &at] {
        check(at < frame.size());
        return quint8(frame.at(at++));
    };
    if (!f.deviceAddress.isEmpty())
        check(next() == HexText::byteField(f.deviceAddress));
    if (!f.function.isEmpty())
        check(next() == HexText::byteField(f.function));
    at += (f.withDataAddress ? 2 : 0) + (f.withQuantity ? 2 : 0);
    if (f.withDataBlock) {
        const qsizetype n = next();
        check(n == (f.dataBlockIsHex ? f.dataBlock.size() / 2 : f.dataBlock.size()));
        at += n;
    }
    check(at == frame.size());
    return 0;
}
