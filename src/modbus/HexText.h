#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <optional>

// The byte-to-text and text-to-number rules shared by the request builder, the hex monitor and
// the reply parser. Bytes in, bytes out: the hex views and logs are pure ASCII.
namespace HexText {

// Each byte as two upper-case digits and a space: "0A 03 ". Empty bytes give empty text.
QByteArray display(const QByteArray& bytes);

// One entry of the hex monitor or the request log: the bytes as above, then CR LF CR LF, so that
// every chunk or frame stands on its own line with an empty line after it.
QByteArray logEntry(const QByteArray& bytes);

// Two upper-case digits, no space: "0A". The parser writes every byte this way.
QByteArray byte(quint8 value);

// A one-byte field (address, function): the last two characters of "00" + text through
// hexByteValue. "1" gives 0x01, "123" gives 0x23; anything that is not an upper-case hex digit
// counts as 0.
quint8 byteField(QStringView text);

// A two-byte field in hex: the last four characters of "0000" + text, two hexByteValue pairs, high
// byte first. "12345" gives 0x2345, an empty field 0.
quint16 wordField(QStringView text);

// A two-byte field in decimal: the number at the start of the text (blanks before it and a sign
// allowed, a fraction after a '.', whatever follows ignored, no number at all is 0), rounded to
// the nearest whole number with a half going to the even neighbour. Only 0..32767 can be put into
// the frame's 16-bit field the way the board reads it; anything else gives nothing.
std::optional<quint16> decimalField(QStringView text);

} // namespace HexText
