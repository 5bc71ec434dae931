// The .bas reader on any file: CR LF, a lone CR and a lone LF each end a line, empty lines
// count, a last line without its end counts unless empty; more than MaxProgramLines lines is a
// failure, never a program cut short; a line that starts with "0" loses up to three of them and
// then keeps at most ShortenedLineChars. Checked against a plain byte-by-byte reading.
// Input: the file (a first byte 0xFF: empty lines up to near the limit come first).
#include "FuzzInput.h"

#include "transfer/BasicTransfers.h"

namespace {

QList<QByteArray> plainLines(const QByteArray& file) {
    QList<QByteArray> lines;
    QByteArray line;
    for (qsizetype i = 0; i < file.size(); ++i) {
        const char c = file[i];
        if (c == '\n' && i > 0 && file[i - 1] == '\r')
            continue;
        if (c == '\r' || c == '\n') {
            lines.append(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.isEmpty())
        lines.append(line);
    return lines;
}

// The line as sent: the leading zeros gone (up to three), the rest unchanged, and after a drop
// at most ShortenedLineChars kept, never fewer than that less the zeros dropped.
bool sentAs(const QByteArray& sent, const QByteArray& line) {
    qsizetype zeros = 0;
    while (zeros < basic::MaxDroppedZeros && zeros < line.size() && line[zeros] == '0')
        ++zeros;
    if (zeros == 0)
        return sent == line;
    const qsizetype rest = line.size() - zeros;
    return sent == line.mid(zeros, sent.size()) && sent.size() <= basic::ShortenedLineChars &&
           sent.size() >= qMin(rest, basic::ShortenedLineChars - basic::MaxDroppedZeros + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray file = inputBytes(data, size);
    // Empty lines up to near the limit first: the file's own lines decide whether it passes.
    if (size > 0 && data[0] == 0xFF)
        file.prepend(QByteArray(basic::MaxProgramLines - 4, '\n'));
    const QList<QByteArray> expected = plainLines(file);
    const Expected<QList<QByteArray>> program = basic::readProgram(file);
    if (expected.size() > basic::MaxProgramLines) {
        check(!program);
        return 0;
    }
    check(bool(program) && program->size() == expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i)
        check(sentAs(program->at(i), expected[i]));
    return 0;
}
