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
    timer_.setSingleShot(true);
    timer_.setInterval(IntervalMs);
    connect(&timer_, &QTimer::timeout, this, &BoundedTextView::sync);
    connect(&model_, &BoundedText::changed, this, [this] {
        if (!timer_.isActive())
            timer_.start();
    });
}

void BoundedTextView::removeCutFront() {
    const qint64 front = model_.cutBytes();
    const bool afterCr = model_.lastCutByte() == '\r';
    qsizetype kept = 0;
    if (front < shownTo_) {
        kept = shownLength(QByteArrayView(model_.text()).first(shownTo_ - front), afterCr);
    } else {
        // All the box shows was cut: it goes on from the model's front.
        ends_.reset();
        if (afterCr) // the CR was cut and shown no more: an LF at the front still ends its line
            ends_.scan(
                "\r", [](QByteArrayView) {}, [] {});
        shownTo_ = front;
    }
    QTextCursor cut(edit_->document());
    cut.setPosition(edit_->document()->characterCount() - 1 - kept, QTextCursor::KeepAnchor);
    cut.removeSelectedText();
    shownFrom_ = front;
}

void BoundedTextView::sync() {
    timer_.stop();
    if (model_.generation() != shownGeneration_) {
        shownGeneration_ = model_.generation();
        edit_->clear();
        ends_.reset();
        shownFrom_ = shownTo_ = model_.cutBytes();
    }
    const qint64 end = model_.cutBytes() + model_.text().size();
    if (model_.cutBytes() == shownFrom_ && end == shownTo_)
        return;
    if (model_.cutBytes() > shownFrom_)
        removeCutFront();
    if (end > shownTo_) {
        QTextCursor tail(edit_->document());
        tail.movePosition(QTextCursor::End);
        tail.insertText(
            shownText(QByteArrayView(model_.text()).sliced(shownTo_ - shownFrom_), ends_));
        shownTo_ = end;
    }
    edit_->moveCursor(QTextCursor::End);
    edit_->ensureCursorVisible();
}
