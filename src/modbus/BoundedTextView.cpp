#include "modbus/BoundedTextView.h"

#include "core/ShownText.h"
#include "modbus/BoundedText.h"

#include <QPlainTextEdit>
#include <QTextCursor>

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

void BoundedTextView::sync() {
    timer_.stop();
    const QByteArray& text = model_.text();
    if (model_.generation() != shownGeneration_ || shownBytes_ > text.size()) {
        ends_.reset();
        shownGeneration_ = model_.generation();
        edit_->setPlainText(shownText(text, ends_));
    } else if (shownBytes_ < text.size()) {
        QTextCursor end(edit_->document());
        end.movePosition(QTextCursor::End);
        end.insertText(shownText(QByteArrayView(text).sliced(shownBytes_), ends_));
    } else {
        return;
    }
    shownBytes_ = text.size();
    edit_->moveCursor(QTextCursor::End);
    edit_->ensureCursorVisible();
}
