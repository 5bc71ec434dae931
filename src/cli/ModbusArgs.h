#pragma once

#include "core/Failure.h"

#include <QByteArray>
#include <QString>
#include <optional>

// The modbus command's fields as typed, before they become the builder panel's controls.
// Unlike the panel, a hex field must hold hex digits only ("0x" in front and lower case are
// fine) and fit its bytes: a typing slip in a script must not reach a board as digit 0.
struct ModbusArgs {
    QString address;                  // ADDR, hex; empty leaves the byte out
    QString function;                 // FUNC, hex; empty leaves the byte out
    std::optional<QString> addrParam; // --addr-param: the data address
    bool addrParamDecimal = false;    // --addr-param-dec
    std::optional<QString> quantity;  // --qty: the quantity or the value written
    bool quantityDecimal = false;     // --qty-dec
    std::optional<QString> hexData;   // --data: the data block in hex pairs
    std::optional<QString> asciiData; // --ascii: the data block as text
    bool noCrc = false;               // --no-crc
    bool crlf = false;                // --crlf
};

// The frame the panel's Send button would build from the same fields, or the refusal as a
// one-line message (the panel's "Invalid DATA" cases, named).
Expected<QByteArray> buildModbusFrame(const ModbusArgs& args);
