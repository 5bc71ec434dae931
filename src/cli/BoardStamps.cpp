#include "cli/BoardStamps.h"

#include <algorithm>

QByteArray BoardStamps::stamp(QByteArrayView text) {
    QByteArray out;
    out.reserve(text.size() + 32);
    QByteArray stampText; // one time for the whole chunk: its lines came together
    for (const char ch : text) {
        const bool lineEnd = ch == '\r' || ch == '\n';
        if (atLineStart_ && !lineEnd) {
            if (stampText.isEmpty()) {
                LineStamp line;
                line.atMs = wall_();
                if (sentSteady_)
                    line.replyMs = qint32(std::clamp<qint64>(steady_() - *sentSteady_, 0, 1 << 30));
                stampText = formatter_.text(line).toLatin1();
            }
            out += stampText;
        }
        out += ch;
        atLineStart_ = lineEnd;
    }
    return out;
}
