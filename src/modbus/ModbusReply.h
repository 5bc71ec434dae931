#pragma once

#include <QByteArray>
#include <QList>
#include <array>
#include <optional>

// What parseModbusReply made of one received chunk. The chunk is read as a MODBUS RTU reply:
// address, function, body, CRC. Any step that runs past the end of the chunk stops the account
// there; the fields filled so far are what the operator still sees, followed by
// " Package not recognized ". Every chunk is parsed on its own: replies are not reassembled.
struct ModbusReply {
    enum class Kind {
        Unknown,     // fewer than two bytes: no function, so no layout
        ConsoleText, // function 0x43 or 0x11: address, function, one unused byte, text, CRC
        WriteEcho,   // other function, even length: address, function, data address, value, CRC
        ReadReply,   // other function, odd length: address, function, byte count, data, CRC
    };
    struct Echo {
        quint16 dataAddress = 0;
        quint16 value = 0;
    };
    struct Crc {
        std::array<quint8, 2> received{}; // the last two bytes, as they came
        std::array<quint8, 2> computed{}; // crc16Bytes of the rest, low byte first
        bool good() const { return received == computed; }
    };

    std::optional<qint64> replyTimeMs; // only on the first parse after a request
    std::optional<quint8> address;
    std::optional<quint8> function;
    Kind kind = Kind::Unknown;
    std::optional<QByteArray> text;  // ConsoleText: the bytes between the third byte and the CRC
    std::optional<Echo> echo;        // WriteEcho
    std::optional<quint8> byteCount; // ReadReply, once it fits the chunk
    QList<quint16> values;           // ReadReply: the 16-bit values, high byte first
    std::optional<Crc> crc;          // absent: the chunk was not recognised

    bool recognized() const { return crc.has_value(); }
};

// Reads one chunk. waitReply: a request was sent and its reply time is still to be shown; the
// reply time elapsedMs (now minus the moment it was sent) is then part of the account.
// Any bytes, any length: nothing is read beyond the chunk.
ModbusReply parseModbusReply(const QByteArray& packet, bool waitReply = false,
                             qint64 elapsedMs = 0);

// The account as the lines the parser panel appends, CR LF line ends, closed by an empty line.
// A half value count ("Number param = 1.5") uses decimalPoint, so a panel can follow the
// system's number format; the default keeps logs the same everywhere.
QByteArray renderModbusReply(const ModbusReply& reply, char decimalPoint = '.');
