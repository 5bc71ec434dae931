#pragma once

#include <QByteArray>
#include <QtGlobal>

// CRC-16/MODBUS (reflected polynomial 0xA001, start 0xFFFF, no final XOR) of a byte string,
// returned as the two bytes that close a frame: low byte first, then high byte. Appending the
// result to the bytes gives a frame in wire order.
QByteArray crc16Bytes(const QByteArray& bytes);

// The same CRC as a number, for callers that compare values rather than bytes.
quint16 crc16Value(const QByteArray& bytes);

// Value of one upper-case hexadecimal digit "0".."9", "A".."F". Anything else, lower case and
// texts that are not exactly one character included, counts as 0 and is not reported.
qint16 hexDigitValue(const QByteArray& text);

// Value of a one- or two-digit hexadecimal text (one byte); invalid digits count as 0 and any
// other length gives 0.
qint16 hexByteValue(const QByteArray& text);
