#include "console/ConsoleView.h"

#include "app/Cp1251.h"
#include "console/ConsoleModel.h"

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

QString ConsoleView::displayText(const QByteArray& bytes, bool* afterCr) {
    QString text = Cp1251::toText(bytes);
    QString out;
    out.reserve(text.size());
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u == '\n' && *afterCr) {
            *afterCr = false;
            continue;
        }
        *afterCr = u == '\r';
        if (u == '\r')
            out.append(QLatin1Char('\n'));
        else if (u == 0)
            out.append(QChar(0x2400)); // a visible stand-in; the widget would end the text at NUL
        else
            out.append(ch);
    }
    return out;
}

void ConsoleView::sync() {
    timer_.stop();
    const QByteArray& text = model_->text();
    const bool moveCaret = model_->takeCaretRequest();
    QScrollBar* bar = edit_->verticalScrollBar();
    const bool atBottom = bar->value() >= bar->maximum();
    if (model_->generation() != shownGeneration_ || shownBytes_ > text.size()) {
        afterCr_ = false;
        shownGeneration_ = model_->generation();
        edit_->setPlainText(displayText(text, &afterCr_));
    } else if (shownBytes_ < text.size()) {
        const QString added = displayText(text.mid(shownBytes_), &afterCr_);
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
