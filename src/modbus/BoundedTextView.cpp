#include "modbus/BoundedTextView.h"

#include "core/ShownText.h"
#include "modbus/BoundedText.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// How many characters `bytes` take in the box: one per byte, but a CR LF pair is one line end,
// as is an LF whose CR came just before them.
qsizetype shownLength(QByteArrayView bytes, bool afterCr) {
    qsizetype length = bytes.size() - bytes.count("\r\n");
    if (afterCr && bytes.startsWith('\n'))
        --length;
    return length;
}

} // namespace

BoundedTextView::BoundedTextView(BoundedText& model, QPlainTextEdit* edit, QObject* parent)
    : QObject(parent), model_(model), edit_(edit) {
    // Nobody undoes a read-only box; kept, the steps of every append and cut grow without end.
    edit_->document()->setUndoRedoEnabled(false);
    timer_.setSingleShot(true);
    timer_.setInterval(IntervalMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (!catchUp(CatchUpBytes))
            timer_.start(0);
    });
    connect(&model_, &BoundedText::changed, this, [this] {
        if (!timer_.isActive())
            timer_.start();
    });
}

void BoundedTextView::removeCutFront() {
    const qint64 front = model_.cutBytes();
    shownFrom_ = front;
    const bool afterCr = model_.lastCutByte() == '\r';
    const qsizetype kept =
        front < shownTo_
            ? shownLength(QByteArrayView(model_.text()).first(shownTo_ - front), afterCr)
            : 0;
    const qsizetype removed = edit_->document()->characterCount() - 1 - kept;
    if (removed <= RemoveInPlaceChars) {
        QTextCursor cut(edit_->document());
        cut.setPosition(removed, QTextCursor::KeepAnchor);
        cut.removeSelectedText();
        if (kept > 0)
            return;
    } else {
        // Taking thousands of lines out costs more than emptying the box and adding the rest
        // again, a slice at a time.
        edit_->clear();
    }
    ends_.reset();
    if (afterCr) // the CR was cut and shown no more: an LF at the front still ends its line
        ends_.scan(
            "\r", [](QByteArrayView) {}, [] {});
    shownTo_ = front;
}

void BoundedTextView::sync() {
    timer_.stop();
    catchUp(model_.size());
}

bool BoundedTextView::catchUp(qsizetype limit) {
    if (model_.generation() != shownGeneration_) {
        shownGeneration_ = model_.generation();
        edit_->clear();
        ends_.reset();
        shownFrom_ = shownTo_ = model_.cutBytes();
    }
    const qint64 end = model_.cutBytes() + model_.size();
    if (model_.cutBytes() == shownFrom_ && end == shownTo_)
        return true;
    if (model_.cutBytes() > shownFrom_)
        removeCutFront();
    const qsizetype adding = qsizetype(qMin<qint64>(end - shownTo_, limit));
    if (adding > 0) {
        QTextCursor tail(edit_->document());
        tail.movePosition(QTextCursor::End);
        tail.insertText(
            shownText(QByteArrayView(model_.text()).sliced(shownTo_ - shownFrom_, adding), ends_));
        shownTo_ += adding;
    }
    edit_->moveCursor(QTextCursor::End);
    edit_->ensureCursorVisible();
    return shownTo_ == end;
}
