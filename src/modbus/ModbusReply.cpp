#include "modbus/ModbusReply.h"

#include "modbus/Crc16.h"
#include "modbus/HexText.h"

namespace {

constexpr quint8 ConsoleTextFunction = 0x43; // 'C'
constexpr quint8 ConsoleTextFunction2 = 0x11;
constexpr qsizetype ShortestConsoleText = 5; // address, function, unused byte, CRC

// Byte `position` of the packet counting from 1, or nothing past its end.
class Packet {
public:
    explicit Packet(const QByteArray& bytes) : bytes_(bytes) {}
    qsizetype size() const { return bytes_.size(); }
    std::optional<quint8> at(qsizetype position) const {
        if (position < 1 || position > bytes_.size())
            return std::nullopt;
        return static_cast<quint8>(bytes_[position - 1]);
    }
    std::optional<quint16> word(qsizetype position) const {
        const auto hi = at(position);
        const auto lo = at(position + 1);
        if (!hi || !lo)
            return std::nullopt;
        return static_cast<quint16>(*hi * 256 + *lo);
    }
    const QByteArray& bytes() const { return bytes_; }

private:
    const QByteArray& bytes_;
};

// The half count, rounded to a whole number with a half going to the even neighbour.
qsizetype valueCount(quint8 byteCount) {
    const qsizetype half = byteCount / 2;
    return byteCount % 2 == 0 || half % 2 == 0 ? half : half + 1;
}

void parseBody(const Packet& p, ModbusReply& r) {
    switch (r.kind) {
    case ModbusReply::Kind::ConsoleText:
        if (p.size() >= ShortestConsoleText)
            r.text = p.bytes().mid(3, p.size() - ShortestConsoleText);
        return;
    case ModbusReply::Kind::WriteEcho: {
        const auto address = p.word(3);
        const auto value = p.word(5);
        if (address && value)
            r.echo = ModbusReply::Echo{*address, *value};
        return;
    }
    case ModbusReply::Kind::ReadReply: {
        const auto bc = p.at(3);
        if (!bc || *bc > p.size() - 4)
            return;
        r.byteCount = bc;
        if (*bc == 0)
            return;
        const qsizetype n = valueCount(*bc);
        for (qsizetype k = 1; k <= n; ++k) {
            const auto v = p.word(2 * k + 2);
            if (!v)
                return;
            r.values.append(*v);
        }
        return;
    }
    case ModbusReply::Kind::Unknown:
        return;
    }
}

// Whether the body step reached its end, so that the CRC line follows.
bool bodyComplete(const ModbusReply& r, qsizetype expectedValues) {
    switch (r.kind) {
    case ModbusReply::Kind::ConsoleText:
        return r.text.has_value();
    case ModbusReply::Kind::WriteEcho:
        return r.echo.has_value();
    case ModbusReply::Kind::ReadReply:
        return r.byteCount && *r.byteCount != 0 && r.values.size() == expectedValues;
    case ModbusReply::Kind::Unknown:
        break;
    }
    return false;
}

} // namespace

ModbusReply parseModbusReply(const QByteArray& packet, bool waitReply, qint64 elapsedMs) {
    ModbusReply r;
    if (waitReply)
        r.replyTimeMs = elapsedMs;
    const Packet p(packet);
    r.address = p.at(1);
    r.function = p.at(2);
    if (!r.function)
        return r;
    if (*r.function == ConsoleTextFunction || *r.function == ConsoleTextFunction2)
        r.kind = ModbusReply::Kind::ConsoleText;
    else if (p.size() % 2 == 0)
        r.kind = ModbusReply::Kind::WriteEcho;
    else
        r.kind = ModbusReply::Kind::ReadReply;

    parseBody(p, r);
    if (!bodyComplete(r, r.byteCount ? valueCount(*r.byteCount) : 0))
        return r;

    // At least two bytes are here: the function was read.
    const qsizetype body = p.size() - 2;
    const QByteArray computed = crc16Bytes(packet.left(body));
    ModbusReply::Crc crc;
    crc.received = {static_cast<quint8>(packet[body]), static_cast<quint8>(packet[body + 1])};
    crc.computed = {static_cast<quint8>(computed[0]), static_cast<quint8>(computed[1])};
    r.crc = crc;
    return r;
}

namespace {

// HH(x) "(" x ")", the way every value is shown: hex digits, then the decimal in brackets.
QByteArray hexAndDecimal(const QByteArray& hex, unsigned value) {
    return hex + '(' + QByteArray::number(value) + ')';
}

QByteArray word(quint16 value) {
    return hexAndDecimal(HexText::byte(value >> 8) + HexText::byte(value & 0xFF), value);
}

QByteArray halfCount(quint8 byteCount, char decimalPoint) {
    QByteArray out = QByteArray::number(byteCount / 2);
    if (byteCount % 2 != 0)
        out += QByteArray(1, decimalPoint) + '5';
    return out;
}

} // namespace

QByteArray renderModbusReply(const ModbusReply& r, char decimalPoint) {
    static const QByteArray notRecognized = " Package not recognized \r\n\r\n";
    QByteArray out;
    if (r.replyTimeMs)
        out += "Time reply = " + QByteArray::number(*r.replyTimeMs) + " mS\r\n";
    if (!r.address)
        return out + notRecognized;
    out += "Addr = " + hexAndDecimal(HexText::byte(*r.address), *r.address);
    if (!r.function)
        return out + notRecognized;
    out += "  Funk = " + hexAndDecimal(HexText::byte(*r.function), *r.function) + "\r\n";

    if (r.text)
        out += " Text = " + *r.text + "\r\n";
    if (r.echo)
        out +=
            "DataAddr = " + word(r.echo->dataAddress) + "  Value = " + word(r.echo->value) + "\r\n";
    if (r.byteCount)
        out += "Number param = " + halfCount(*r.byteCount, decimalPoint) + "\r\n";
    for (qsizetype k = 0; k < r.values.size(); ++k)
        out += "Value #" + QByteArray::number(k + 1) + " = " + word(r.values[k]) + "\r\n";

    if (!r.crc)
        return out + notRecognized;
    const auto& c = *r.crc;
    out += "CRC = " + HexText::byte(c.received[0]) + HexText::byte(c.received[1]) + ' ';
    if (c.good())
        out += " Good\r\n";
    else
        out +=
            "- Bad  CRC = " + HexText::byte(c.computed[0]) + HexText::byte(c.computed[1]) + "\r\n";
    return out + "\r\n";
}
