// Board text cut anywhere into pieces comes out of ReplyLines as the board's lines: every byte
// once and in order, each line with at most one line end and only at its end, a line without
// an end never longer than MaxLine, and the same lines as when the text comes in one piece
// (a CR LF cut in two is a lone "\n" marked as the end of the line before).
// Input: a first byte (0xFF: the pieces follow a line that nearly fills MaxLine), then
// the pieces, each after its length byte.
#include "FuzzInput.h"

#include "link/ReplyLines.h"

namespace {

bool isEnd(char c) {
    return c == '\r' || c == '\n';
}

// One line as it must look: text without line ends, then CR LF, CR, LF or nothing (cut at
// MaxLine, or the start of a line not ended yet).
void checkShape(const QByteArray& line, bool ended) {
    qsizetype text = line.size();
    while (text > 0 && isEnd(line[text - 1]))
        --text;
    const QByteArrayView body = QByteArrayView(line).first(text);
    check(!body.contains('\r') && !body.contains('\n'));
    const QByteArrayView end = QByteArrayView(line).sliced(text);
    check(end.isEmpty() || end == "\r\n" || end == "\r" || end == "\n");
    if (ended)
        check(!end.isEmpty() || line.size() == ReplyLines::MaxLine);
    else
        check(end.isEmpty() && line.size() < ReplyLines::MaxLine);
}

QList<QByteArray> joinedCrLf(const QList<ReplyLines::Line>& lines) {
    QList<QByteArray> out;
    for (const ReplyLines::Line& line : lines) {
        if (line.endOfPrevious) {
            check(line.bytes == "\n" && !out.isEmpty() && out.last().endsWith('\r'));
            out.last() += '\n';
        } else {
            checkShape(line.bytes, true);
            out.append(line.bytes);
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    QList<QByteArray> pieces = lengthPrefixedPieces(inputBytes(data + 1, size - 1));
    // A line that has nearly reached MaxLine when the pieces come: they decide what happens at
    // the bound.
    if (data[0] == 0xFF)
        pieces.prepend(QByteArray(ReplyLines::MaxLine - 8, 'x'));

    ReplyLines cut;
    QList<ReplyLines::Line> cutLines;
    QByteArray text;
    for (const QByteArray& piece : pieces) {
        cutLines += cut.feed(piece);
        text += piece;
        check(cut.afterCr() == text.endsWith('\r'));
        check(cut.partial().size() < ReplyLines::MaxLine);
    }
    checkShape(cut.partial(), false);
    ReplyLines whole;
    const QList<ReplyLines::Line> wholeLines = whole.feed(text);

    QByteArray again;
    for (const ReplyLines::Line& line : cutLines)
        again += line.bytes;
    check(again + cut.partial() == text);
    check(cut.partial() == whole.partial());
    check(joinedCrLf(cutLines) == joinedCrLf(wholeLines));
    return 0;
}
