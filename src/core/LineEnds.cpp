#include "core/LineEnds.h"

void LineCollector::feed(QByteArrayView bytes) {
    ends_.scan(
        bytes,
        [this](QByteArrayView text) {
            if (!full())
                current_.append(text);
        },
        [this] {
            if (!full())
                lines_.append(current_);
            current_.clear();
        });
}

QList<QByteArray> LineCollector::finish() {
    if (!current_.isEmpty() && !full())
        lines_.append(current_);
    current_.clear();
    return std::move(lines_);
}

QList<QByteArray> LineCollector::finishWhole() {
    current_.clear();
    return std::move(lines_);
}

QList<QByteArray> splitLines(QByteArrayView text) {
    LineCollector lines;
    lines.feed(text);
    return lines.finish();
}
