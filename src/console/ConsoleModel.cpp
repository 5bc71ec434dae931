#include "console/ConsoleModel.h"

void ConsoleModel::append(const QByteArray& bytes, bool moveCaret) {
    text_.append(bytes);
    caretRequested_ = caretRequested_ || moveCaret;
    emit changed();
}

void ConsoleModel::trim() {
    if (text_.size() <= TrimAbove)
        return;
    text_ = text_.right(TrimTo);
    ++generation_;
    emit changed();
}

void ConsoleModel::clear() {
    text_.clear();
    ++generation_;
    emit changed();
}

bool ConsoleModel::takeCaretRequest() {
    const bool requested = caretRequested_;
    caretRequested_ = false;
    return requested;
}
