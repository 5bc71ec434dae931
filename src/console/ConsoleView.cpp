#include "console/ConsoleView.h"

#include "console/ConsoleModel.h"
#include "core/ShownText.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

ConsoleView::ConsoleView(ConsoleModel* model, QPlainTextEdit* edit, QObject* parent)
    : QObject(parent), model_(model), edit_(edit) {
    timer_.setSingleShot(true);
    timer_.setInterval(IntervalMs);
    connect(&timer_, &QTimer::timeout, this, &ConsoleView::sync);
    connect(model_, &ConsoleModel::changed, this, [this] {
        if (!timer_.isActive())
            timer_.start();
    });
}

void ConsoleView::sync() {
    timer_.stop();
    const QByteArray& text = model_->text();
    const bool moveCaret = model_->takeCaretRequest();
    QScrollBar* bar = edit_->verticalScrollBar();
    const bool atBottom = bar->value() >= bar->maximum();
    if (model_->generation() != shownGeneration_ || shownBytes_ > text.size()) {
        ends_.reset();
        shownGeneration_ = model_->generation();
        edit_->setPlainText(shownText(text, ends_));
    } else if (shownBytes_ < text.size()) {
        const QString added = shownText(QByteArrayView(text).sliced(shownBytes_), ends_);
        QTextCursor end(edit_->document());
        end.movePosition(QTextCursor::End);
        end.insertText(added);
    }
    shownBytes_ = text.size();
    if (moveCaret) {
        edit_->moveCursor(QTextCursor::End);
        edit_->ensureCursorVisible();
    } else if (atBottom) {
        bar->setValue(bar->maximum());
    }
}
