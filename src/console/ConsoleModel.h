#pragma once

#include <QByteArray>
#include <QObject>

// The console's text as bytes, exactly as received and echoed. The view catches up with it on
// a timer; every question about the text is answered here, never by the widget.
class ConsoleModel : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype TrimAbove = 48000;
    static constexpr qsizetype TrimTo = 32768;

    using QObject::QObject;

    const QByteArray& text() const { return text_; }
    qsizetype size() const { return text_.size(); }

    // moveCaret: the view puts its caret at the end (and so scrolls there) when it catches up.
    void append(const QByteArray& bytes, bool moveCaret = true);
    // Above 48000 bytes keep only the last 32768; run before every received chunk is placed.
    void trim();
    void clear();

    // The view redraws from text() when this changes (the text was cut or cleared); otherwise it
    // only appends what lies beyond the part it has shown.
    quint64 generation() const { return generation_; }
    // Taken (and reset) by the view: whether an append since the last look asked for the caret.
    bool takeCaretRequest();

signals:
    void changed();

private:
    QByteArray text_;
    quint64 generation_ = 0;
    bool caretRequested_ = false;
};
