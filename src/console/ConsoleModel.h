#pragma once

#include "console/LineStamp.h"
#include "core/Clock.h"

#include <QByteArray>
#include <QObject>
#include <deque>
#include <optional>

// The console's text as bytes, exactly as received and echoed, and beside them when each line
// began. The view catches up with it on a timer; every question about the text is answered
// here, never by the widget.
//
// Offsets into the text count from the start of the console (since the last clear), so a line's
// stamp keeps its place when the front of the text is cut.
class ConsoleModel : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype TrimAbove = 48000;
    static constexpr qsizetype TrimTo = 32768;

    // Who put text into the console: a board line after a line sent shows the time since.
    enum class Source { Board, Sent, Terminal };

    explicit ConsoleModel(QObject* parent = nullptr);

    const QByteArray& text() const { return text_; }
    qsizetype size() const { return text_.size(); }

    // moveCaret: the view puts its caret at the end (and so scrolls there) when it catches up.
    void append(const QByteArray& bytes, bool moveCaret = true, Source source = Source::Board);
    // Above 48000 shown characters keep only the last 32768; run before every received chunk is
    // placed. With the times shown they count as well: the bound is on what the operator sees.
    void trim();
    void clear();

    void setShowStamps(bool show);
    bool showsStamps() const { return showStamps_; }
    // The bytes plus, while shown, the stamps: what the trim bound counts.
    qsizetype shownSize() const;
    void setClock(MsClock clock) { clock_ = std::move(clock); }

    // Where text() begins, counted from the start of the console.
    qint64 firstOffset() const { return firstOffset_; }
    // The byte before text() was a CR: an LF that begins it ends that line and shows nothing.
    bool startsAfterCr() const { return startsAfterCr_; }
    // The characters the cuts removed from the front of what is shown, since the last redraw:
    // the view removes as many from its own front instead of drawing everything anew.
    qint64 cutChars() const { return cutChars_; }
    const std::deque<LineStamp>& stamps() const { return stamps_; }
    // The first stamp at or after `offset`.
    std::deque<LineStamp>::const_iterator stampFrom(qint64 offset) const;

    // The view redraws from text() when this changes (cleared, replaced, stamps shown or hidden);
    // otherwise it removes what was cut and appends what lies beyond the part it has shown.
    quint64 generation() const { return generation_; }
    // Taken (and reset) by the view: whether an append since the last look asked for the caret.
    bool takeCaretRequest();

signals:
    void changed();

private:
    void stampLines(const QByteArray& bytes, qint64 now, Source source);
    // The stamp characters of the lines from `offset` on.
    qint64 stampCharsFrom(qint64 offset) const;
    // How many bytes to cut from the front so that what stays shows at most TrimTo characters.
    qsizetype cutLength() const;

    QByteArray text_;
    std::deque<LineStamp> stamps_;
    qint64 stampCharsTotal_ = 0;
    qint64 firstOffset_ = 0;
    qint64 cutChars_ = 0;
    bool startsAfterCr_ = false;
    bool atLineStart_ = true;
    bool showStamps_ = false;
    std::optional<qint64> lastSentMs_;
    MsClock clock_;
    quint64 generation_ = 0;
    bool caretRequested_ = false;
};
