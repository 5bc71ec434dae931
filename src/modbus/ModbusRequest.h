#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The MODBUS panel's fields as the Send button (Command23) reads them, under the controls' own
// names so the panel copies them one to one. Defaults are the panel's start-up values.
struct ModbusRequestFields {
    QString Text5 = QStringLiteral("10"); // device address, hex
    QString Text6 = QStringLiteral("3");  // function code, hex
    QString Text9;                        // data address
    bool Check8 = true;                   // Text9 is hex (else decimal)
    bool Check10 = true;                  // put the data address into the frame
    QString Text10;                       // quantity, or the single value written
    bool Check9 = true;                   // Text10 is hex (else decimal)
    bool Check11 = true;                  // put the quantity / value into the frame
    bool Check4 = false;                  // put the data block (length byte + data) into the frame
    QString Text7;                        // the data of the data block
    bool Option7 = true;                  // Text7 holds hex pairs; false: Option8, text as is
    bool Check5 = true;                   // close the frame with CRC16
    bool Check6 = false;                  // then CR LF
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
// with its length byte, CRC16 low byte first, CR LF (outside the CRC). Invalid hex digits count
// as 0, as everywhere in the MODBUS tools; only a field that cannot be encoded at all refuses the
// whole frame, so nothing half-right ever reaches the board.
ModbusRequest buildModbusRequest(const ModbusRequestFields& fields);
