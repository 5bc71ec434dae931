#include "modbus/BoundedText.h"

BoundedText::BoundedText(qsizetype trimAbove, qsizetype trimTo, QObject* parent)
    : QObject(parent), trimAbove_(trimAbove), trimTo_(qMin(trimTo, trimAbove)) {
}

void BoundedText::append(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return;
    if (text_.size() + bytes.size() <= trimAbove_) {
        text_.append(bytes);
    } else {
        // Only the last trimTo bytes survive; a chunk larger than that replaces the text alone.
        const qsizetype cut = text_.size() + bytes.size() - trimTo_;
        lastCutByte_ = cut <= text_.size() ? text_.at(cut - 1) : bytes.at(cut - text_.size() - 1);
        cutBytes_ += cut;
        if (cut >= text_.size()) {
            text_ = bytes.sliced(cut - text_.size());
        } else {
            text_.remove(0, cut);
            text_.append(bytes);
        }
    }
    emit changed();
}

void BoundedText::clear() {
    if (text_.isEmpty())
        return;
    cutBytes_ += text_.size();
    lastCutByte_ = 0;
    text_.clear();
    ++generation_;
    emit changed();
}
