#include "modbus/HexText.h"

#include "modbus/Crc16.h"

namespace {

constexpr char digits[] = "0123456789ABCDEF";

// The last `width` characters of a zero-padded field, as hexByteValue input. Characters outside
// Latin-1 become '?', which hexByteValue counts as 0 like any other non-digit.
QByteArray lastDigits(QStringView text, qsizetype width) {
    QByteArray out(width, '0');
    const QStringView tail = text.size() > width ? text.right(width) : text;
    const QByteArray latin = tail.toLatin1();
    out.replace(width - latin.size(), latin.size(), latin);
    return out;
}

bool isDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

} // namespace

QByteArray HexText::display(const QByteArray& bytes) {
    QByteArray out(bytes.size() * 3, Qt::Uninitialized);
    char* dst = out.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *dst++ = digits[b >> 4];
        *dst++ = digits[b & 0x0F];
        *dst++ = ' ';
    }
    return out;
}

QByteArray HexText::logEntry(const QByteArray& bytes) {
    return display(bytes) + "\r\n\r\n";
}

QByteArray HexText::byte(quint8 value) {
    const char pair[2] = {digits[value >> 4], digits[value & 0x0F]};
    return QByteArray(pair, 2);
}

quint8 HexText::byteField(QStringView text) {
    return static_cast<quint8>(hexByteValue(lastDigits(text, 2)));
}

quint16 HexText::wordField(QStringView text) {
    const QByteArray four = lastDigits(text, 4);
    return static_cast<quint16>(hexByteValue(four.left(2)) * 256 + hexByteValue(four.mid(2)));
}

std::optional<quint16> HexText::decimalField(QStringView text) {
    constexpr long limit = 32767;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';

    // Whole part, capped just above the limit: a long run of digits only needs to stay too big.
    long whole = 0;
    for (; i < n && isDigit(text[i]); ++i)
        whole = qMin(whole * 10 + (text[i].unicode() - u'0'), limit + 2);

    // The fraction decides the rounding exactly, without a binary floating-point detour: its
    // first digit against 5, and whether anything non-zero follows a 5.
    int first = 0;
    bool restNonZero = false;
    if (i < n && text[i] == u'.') {
        ++i;
        if (i < n && isDigit(text[i]))
            first = text[i++].unicode() - u'0';
        for (; i < n && isDigit(text[i]); ++i)
            restNonZero = restNonZero || text[i] != u'0';
    }
    const bool up = first > 5 || (first == 5 && (restNonZero || whole % 2 == 1));
    const long magnitude = whole + (up ? 1 : 0);
    if (magnitude > limit || (negative && magnitude != 0))
        return std::nullopt;
    return static_cast<quint16>(magnitude);
}
