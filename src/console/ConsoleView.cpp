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
    connect(&timer_, &QTimer::timeout, this, [this] { catchUp(true); });
    connect(model_, &ConsoleModel::changed, this, [this] {
        if (!timer_.isActive())
            timer_.start();
    });
}

void ConsoleView::catchUp(bool tailOnFlood) {
    timer_.stop();
    // The whole drawing that replaces a flood's tail goes where the tail was: at the end, if the
    // tail was. Drawing anew puts the view at the top, and nothing new asks for the end.
    const bool moveCaret = model_->takeCaretRequest() || (shownTailOnly_ && tailAtEnd_);
    QScrollBar* bar = edit_->verticalScrollBar();
    const bool atBottom = bar->value() >= bar->maximum();
    const qint64 first = model_->firstOffset();
    const qint64 end = first + model_->size();
    // Redrawn only when the text is no longer the one shown, or nothing shown is left.
    const bool flooded = first >= shownEnd_ && first > shownFirst_;
    timer_.setInterval(flooded ? FloodIntervalMs : IntervalMs);
    const bool frozen = flooded && tailOnFlood;
    bar->setUpdatesEnabled(!frozen);
    if (model_->generation() != shownGeneration_ || flooded || shownTailOnly_) {
        shownGeneration_ = model_->generation();
        const qint64 from = flooded && tailOnFlood ? floodTailStart(first, end) : first;
        shownTailOnly_ = from > first;
        tailAtEnd_ = moveCaret || atBottom;
        ends_.reset(from > first ? model_->text()[from - first - 1] == '\r'
                                 : model_->startsAfterCr());
        edit_->setPlainText(shownRange(from, end));
    } else {
        if (first > shownFirst_)
            removeFront(model_->cutChars() - shownCutChars_);
        if (end > shownEnd_) {
            const QString added = shownRange(shownEnd_, end);
            QTextCursor cursor(edit_->document());
            cursor.movePosition(QTextCursor::End);
            cursor.insertText(added);
        }
    }
    shownFirst_ = first;
    shownEnd_ = end;
    shownCutChars_ = model_->cutChars();
    if (moveCaret) {
        edit_->moveCursor(QTextCursor::End);
        edit_->ensureCursorVisible();
    } else if (atBottom) {
        bar->setValue(bar->maximum());
    }
    if (frozen) // should the flood stop here, the next catch-up still draws all and the bar
        timer_.start();
}

qint64 ConsoleView::floodTailStart(qint64 first, qint64 end) const {
    if (end - first <= FloodTailBytes)
        return first;
    // The tail begins after the first line end in it, so its first line is whole (and keeps its
    // time); a tail without one begins mid-line.
    const qint64 from = end - FloodTailBytes;
    const QByteArrayView tail = QByteArrayView(model_->text()).sliced(from - first);
    const qsizetype lineEnd = NextLineEnd(tail).from(0);
    return lineEnd < tail.size() ? from + lineEnd + 1 : from;
}

QString ConsoleView::shownRange(qint64 from, qint64 to) {
    const QByteArrayView text(model_->text());
    const qint64 base = model_->firstOffset();
    QString out;
    qint64 at = from;
    if (model_->showsStamps()) {
        const auto& all = model_->stamps();
        for (auto s = model_->stampFrom(from); s != all.end() && s->offset < to; ++s) {
            out += shownText(text.sliced(at - base, s->offset - at), ends_);
            out += stamps_.text(*s);
            at = s->offset;
        }
    }
    out += shownText(text.sliced(at - base, to - at), ends_);
    return out;
}

void ConsoleView::removeFront(qint64 chars) {
    QTextCursor cut(edit_->document());
    cut.setPosition(int(qMin<qint64>(chars, edit_->document()->characterCount() - 1)),
                    QTextCursor::KeepAnchor);
    cut.removeSelectedText();
}
