#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The MODBUS panel's fields as its Send button reads them. Defaults are the panel's start-up
// values.
struct ModbusRequestFields {
    QString deviceAddress = QStringLiteral("10"); // hex
    QString function = QStringLiteral("3");       // function code, hex
    QString dataAddress;
    bool dataAddressIsHex = true; // else decimal
    bool withDataAddress = true;  // put the data address into the frame
    QString quantity;             // quantity, or the single value written
    bool quantityIsHex = true;    // else decimal
    bool withQuantity = true;     // put the quantity / value into the frame
    bool withDataBlock = false;   // put the data block (length byte + data) into the frame
    QString dataBlock;            // the data of the data block
    bool dataBlockIsHex = true;   // hex pairs; else the text as it stands
    bool withCrc = true;          // close the frame with its CRC-16
    bool withCrLf = false;        // then CR LF
};

// Why no frame was made. The operator sees the same "Invalid DATA" box for all of them; the
// reason is there for the caller and the tests.
enum class ModbusRefusal {
    OddHexData,         // hex data block with an odd number of digits
    DataTooLong,        // more than 255 bytes: the length byte cannot hold it
    DataNotEncodable,   // ascii data with a character Windows-1251 lacks
    AddressOutOfRange,  // decimal data address outside 0..32767
    QuantityOutOfRange, // decimal quantity / value outside 0..32767
};

inline constexpr char InvalidDataMessage[] = "Invalid DATA";

struct ModbusRequest {
    QByteArray frame; // empty when refused (an empty frame is also valid: every part off)
    std::optional<ModbusRefusal> refusal;

    bool ok() const { return !refusal; }
};

// Builds the frame in wire order: address, function, data address, quantity / value, data block
// with its length byte, crc16Bytes low byte first, CR LF (outside the CRC). Invalid hex digits
// count as 0, as everywhere in the MODBUS tools; only a field that cannot be encoded at all refuses
// the whole frame, so nothing half-right ever reaches the board.
ModbusRequest buildModbusRequest(const ModbusRequestFields& fields);
