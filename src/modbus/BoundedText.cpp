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
        if (bytes.size() >= trimTo_) {
            text_ = bytes.right(trimTo_);
        } else {
            text_ = text_.right(trimTo_ - bytes.size()) + bytes;
        }
        ++generation_;
    }
    emit changed();
}

void BoundedText::clear() {
    if (text_.isEmpty())
        return;
    text_.clear();
    ++generation_;
    emit changed();
}
