#include "board/CommandInterpreter.h"

#include <QRegularExpression>

namespace board {

namespace {

const QByteArray kCrLf = QByteArrayLiteral("\r\n");

QByteArray reply(const QByteArray& text) {
    return text + kCrLf;
}
QList<QByteArray> ok() {
    return {reply("OK")};
}
QList<QByteArray> error() {
    return {reply("ERROR")};
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Reads a non-negative decimal number of at most `maxDigits` digits.
bool parseNumber(const QByteArray& text, int maxDigits, int* value) {
    if (text.isEmpty() || text.size() > maxDigits)
        return false;
    int n = 0;
    for (const char c : text) {
        if (!isDigit(c))
            return false;
        n = n * 10 + (c - '0');
    }
    *value = n;
    return true;
}

// Splits `"value"rest` into value and rest; false unless `text` opens with a closed quote.
bool parseQuoted(const QByteArray& text, QByteArray* value, QByteArray* rest) {
    if (!text.startsWith('"'))
        return false;
    const qsizetype end = text.indexOf('"', 1);
    if (end < 0)
        return false;
    *value = text.mid(1, end - 1);
    *rest = text.mid(end + 1).trimmed();
    return true;
}

bool isHex(const QByteArray& text) {
    for (const char c : text) {
        if (!isDigit(c) && !((c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

} // namespace

CommandInterpreter::CommandInterpreter(const QString& diskFolder, bool login)
    : m_disk(diskFolder), m_login(login) {
}

QList<QByteArray> CommandInterpreter::run(const QByteArray& line) {
    return runLine(line, false);
}

QList<QByteArray> CommandInterpreter::runLine(const QByteArray& line, bool viaMdc) {
    const QByteArray trimmed = line.trimmed();
    if (trimmed.isEmpty())
        return {};
    if (isDigit(trimmed.front()))
        return programLine(trimmed);

    qsizetype end = 0;
    while (end < trimmed.size() && isLetter(trimmed.at(end)))
        ++end;
    const QByteArray keyword = trimmed.left(end).toUpper();
    const QByteArray args = trimmed.mid(end).trimmed();

    if (keyword == "LIST" && args.isEmpty())
        return list();
    if (keyword == "NEW" && args.isEmpty()) {
        m_program.clear();
        return ok();
    }
    if (keyword == "STATUS" && args.isEmpty())
        return status();
    if (keyword == "PRINT")
        return print(args);
    if (keyword == "UART") {
        static const QRegularExpression uart(QStringLiteral("^\\d{1,3}\\s*,\\s*\\d{1,3}$"));
        return uart.match(QString::fromLatin1(args)).hasMatch() ? ok() : error();
    }
    if (keyword == "FOPEN")
        return fopen(args);
    if (keyword == "WRITE")
        return write(args);
    if (keyword == "READ")
        return read(args);
    if (keyword == "CLOSE" && args.isEmpty()) {
        m_disk.close();
        return ok();
    }
    // One level only: the intermediary forwards to a board, which does not forward again.
    if (keyword == "MDC" && !viaMdc)
        return mdc(args);
    return error();
}

QList<QByteArray> CommandInterpreter::programLine(const QByteArray& line) {
    qsizetype end = 0;
    while (end < line.size() && isDigit(line.at(end)))
        ++end;
    int number = 0;
    if (!parseNumber(line.left(end), 5, &number))
        return error();
    const QByteArray text = line.mid(end).trimmed();
    // An unclosed string would swallow the rest of the line on the board.
    if (text.count('"') % 2 != 0)
        return error();
    return m_program.store(number, text) ? ok() : error();
}

QList<QByteArray> CommandInterpreter::list() const {
    if (m_login)
        return {reply("Login:")};
    QList<QByteArray> out;
    for (const QByteArray& line : m_program.listing())
        out.append(reply(line));
    out.append(reply("OK"));
    return out;
}

QList<QByteArray> CommandInterpreter::status() const {
    return {
        reply("Program lines: " + QByteArray::number(m_program.lineCount())),
        reply("Program bytes: " + QByteArray::number(m_program.byteCount())),
        reply("Disk files: " + QByteArray::number(m_disk.fileCount())),
        reply("Disk free: " + QByteArray::number(m_disk.freeBytes())),
        reply("OK"),
    };
}

QList<QByteArray> CommandInterpreter::print(const QByteArray& args) const {
    QByteArray text;
    QByteArray rest;
    if (parseQuoted(args, &text, &rest))
        return rest.isEmpty() ? QList<QByteArray>{reply(text), reply("OK")} : error();
    static const QRegularExpression integer(QStringLiteral("^[-+]?\\d{1,18}$"));
    if (integer.match(QString::fromLatin1(args)).hasMatch())
        return {reply(QByteArray::number(args.toLongLong())), reply("OK")};
    return error();
}

QList<QByteArray> CommandInterpreter::fopen(const QByteArray& args) {
    QByteArray name;
    QByteArray rest;
    if (!parseQuoted(args, &name, &rest) || !rest.startsWith(','))
        return error();
    const QByteArray mode = rest.mid(1).trimmed().toUpper();
    if (mode == "WN")
        return m_disk.openForWrite(name) ? ok() : error();
    if (mode == "R")
        return m_disk.openForRead(name) ? ok() : error();
    return error();
}

QList<QByteArray> CommandInterpreter::write(const QByteArray& args) {
    QByteArray digits;
    QByteArray rest;
    if (!parseQuoted(args, &digits, &rest) || !rest.isEmpty() || digits.size() % 2 != 0 ||
        !isHex(digits))
        return error();
    return m_disk.append(QByteArray::fromHex(digits)) ? ok() : error();
}

QList<QByteArray> CommandInterpreter::read(const QByteArray& args) {
    int count = 0;
    if (!parseNumber(args, 4, &count) || count == 0)
        return error();
    QByteArray bytes;
    if (!m_disk.read(count, &bytes))
        return error();
    // A full block ends in OK; a short one (possibly empty) marks the end of the file.
    const QByteArray tail = bytes.size() == count ? "OK" : "ND";
    return {reply(bytes.toHex().toUpper() + tail)};
}

QList<QByteArray> CommandInterpreter::mdc(const QByteArray& args) {
    const qsizetype comma = args.indexOf(',');
    int address = 0;
    if (comma < 0 || !parseNumber(args.left(comma).trimmed(), 3, &address) || address > 255)
        return error();
    return runLine(args.mid(comma + 1), true);
}

} // namespace board
