#include "console/ConsoleModel.h"

#include "core/LineEnds.h"

#include <algorithm>

namespace {
// What `bytes` take on screen: one character each, except the LF of a CR LF pair, which joins
// its CR in one line end.
qint64 shownLength(QByteArrayView bytes, bool afterCr) {
    const qint64 joined = bytes.count("\r\n") + (afterCr && bytes.startsWith('\n') ? 1 : 0);
    return bytes.size() - joined;
}
} // namespace

ConsoleModel::ConsoleModel(QObject* parent) : QObject(parent), clock_(&Clock::wallMs) {
}

void ConsoleModel::append(const QByteArray& bytes, bool moveCaret, Source source) {
    if (!bytes.isEmpty()) {
        const qint64 now = clock_();
        if (source == Source::Sent)
            lastSentMs_ = now;
        stampLines(bytes, now, source);
        text_.append(bytes);
    }
    caretRequested_ = caretRequested_ || moveCaret;
    emit changed();
}

void ConsoleModel::stampLines(const QByteArray& bytes, qint64 now, Source source) {
    const qint64 base = firstOffset_ + text_.size();
    const qint32 replyMs = source == Source::Board && lastSentMs_
                               ? qint32(std::clamp<qint64>(now - *lastSentMs_, 0, 1 << 30))
                               : -1;
    // A flood brings long lines: inside one, the scan jumps to the next line end.
    const QByteArrayView view(bytes);
    const qsizetype size = view.size();
    NextLineEnd nextEnd(view);
    bool lineStart = atLineStart_;
    for (qsizetype at = 0; at < size;) {
        if (!lineStart) {
            const qsizetype lineEnd = nextEnd.from(at);
            if (lineEnd == size)
                break;
            lineStart = true;
            at = lineEnd + 1;
        } else if (view[at] == '\r' || view[at] == '\n') {
            ++at;
        } else {
            LineStamp stamp{base + at, now, replyMs, stampCharsTotal_};
            stampCharsTotal_ += stamp.length();
            stamps_.push_back(stamp);
            lineStart = false;
            ++at;
        }
    }
    atLineStart_ = lineStart;
}

std::deque<LineStamp>::const_iterator ConsoleModel::stampFrom(qint64 offset) const {
    return std::lower_bound(stamps_.begin(), stamps_.end(), offset,
                            [](const LineStamp& s, qint64 at) { return s.offset < at; });
}

qint64 ConsoleModel::stampCharsFrom(qint64 offset) const {
    const auto from = stampFrom(offset);
    return from == stamps_.end() ? 0 : stampCharsTotal_ - from->charsBefore;
}

qsizetype ConsoleModel::shownSize() const {
    return text_.size() + (showStamps_ ? stampCharsFrom(firstOffset_) : 0);
}

qsizetype ConsoleModel::cutLength() const {
    const qsizetype bytesOnly = text_.size() - TrimTo;
    if (!showStamps_)
        return bytesOnly;
    // What stays shrinks as the cut moves on: the shortest cut that leaves at most TrimTo.
    qsizetype low = qMax<qsizetype>(0, bytesOnly);
    qsizetype high = text_.size();
    while (low < high) {
        const qsizetype mid = low + (high - low) / 2;
        if (text_.size() - mid + stampCharsFrom(firstOffset_ + mid) <= TrimTo)
            high = mid;
        else
            low = mid + 1;
    }
    return low;
}

void ConsoleModel::trim() {
    if (shownSize() <= TrimAbove)
        return;
    const qsizetype cut = cutLength();
    const qint64 newFirst = firstOffset_ + cut;
    cutChars_ += shownLength(QByteArrayView(text_).first(cut), startsAfterCr_);
    if (showStamps_)
        cutChars_ += stampCharsFrom(firstOffset_) - stampCharsFrom(newFirst);
    startsAfterCr_ = text_.at(cut - 1) == '\r';
    text_ = text_.sliced(cut);
    while (!stamps_.empty() && stamps_.front().offset < newFirst)
        stamps_.pop_front();
    firstOffset_ = newFirst;
    emit changed();
}

void ConsoleModel::clear() {
    text_.clear();
    stamps_.clear();
    stampCharsTotal_ = 0;
    firstOffset_ = 0;
    cutChars_ = 0;
    startsAfterCr_ = false;
    atLineStart_ = true;
    ++generation_;
    emit changed();
}

void ConsoleModel::setShowStamps(bool show) {
    if (show == showStamps_)
        return;
    showStamps_ = show;
    ++generation_;
    emit changed();
}

bool ConsoleModel::takeCaretRequest() {
    const bool requested = caretRequested_;
    caretRequested_ = false;
    return requested;
}
