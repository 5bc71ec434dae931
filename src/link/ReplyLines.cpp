#include "link/ReplyLines.h"

#include "core/LineEnds.h"

#include <utility>

QList<ReplyLines::Line> ReplyLines::feed(QByteArrayView text) {
    QList<Line> lines;
    qsizetype start = 0;
    if (afterCr_ && !text.isEmpty()) {
        afterCr_ = false;
        if (text.front() == '\n') {
            lines.append({QByteArray(1, '\n'), true});
            start = 1;
        }
    }
    NextLineEnd nextEnd(text);
    while (start < text.size()) {
        const qsizetype lineEnd = nextEnd.from(start);
        // A line without an end that reaches MaxLine is handed on at exactly that size.
        const qsizetype room = MaxLine - partial_.size();
        if (lineEnd - start >= room) {
            partial_ += text.sliced(start, room);
            lines.append({std::exchange(partial_, QByteArray()), false});
            start += room;
            continue;
        }
        if (lineEnd == text.size())
            break;
        qsizetype end = lineEnd + 1;
        if (text[lineEnd] == '\r') {
            if (end < text.size() && text[end] == '\n')
                ++end;
            else if (end == text.size())
                afterCr_ = true;
        }
        partial_ += text.sliced(start, end - start);
        lines.append({std::exchange(partial_, QByteArray()), false});
        start = end;
    }
    partial_ += text.sliced(start);
    return lines;
}

QByteArray ReplyLines::takePartial() {
    return std::exchange(partial_, QByteArray());
}

void ReplyLines::passedOn(QByteArrayView text) {
    if (!text.isEmpty())
        afterCr_ = text.back() == '\r';
}
