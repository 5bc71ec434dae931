#include "link/ReplyLines.h"

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
    for (qsizetype i = start; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch != '\r' && ch != '\n') {
            if (partial_.size() + (i + 1 - start) >= MaxLine) {
                partial_ += text.sliced(start, i + 1 - start);
                lines.append({std::exchange(partial_, QByteArray()), false});
                start = i + 1;
            }
            continue;
        }
        qsizetype end = i + 1;
        if (ch == '\r') {
            if (end < text.size() && text[end] == '\n')
                ++end;
            else if (end == text.size())
                afterCr_ = true;
        }
        partial_ += text.sliced(start, end - start);
        lines.append({std::exchange(partial_, QByteArray()), false});
        start = end;
        i = end - 1;
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
