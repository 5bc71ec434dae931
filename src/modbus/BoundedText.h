#pragma once

#include <QByteArray>
#include <QObject>

// The text of one MODBUS output box (hex monitor hexEdit, request log sentFramesEdit, parser
// parserEdit) as bytes, one byte per character. Received chunks land here at link speed, so the
// widget only catches up with it: length and text are answered here, never by the view.
//
// Each box is cut back to its last part once it passes its ceiling. The hex monitor and the
// request log keep the classic 16000 / 12000. The parser box gets a ceiling far above normal use
// (1,000,000 cut to the last 750,000), so that a flood of chunks parsed into it cannot grow the
// window's text without end.
class BoundedText : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype HexTrimAbove = 16000;
    static constexpr qsizetype HexTrimTo = 12000;
    static constexpr qsizetype ParserTrimAbove = 1'000'000;
    static constexpr qsizetype ParserTrimTo = 750'000;

    // trimTo is at most trimAbove.
    BoundedText(qsizetype trimAbove, qsizetype trimTo, QObject* parent = nullptr);

    const QByteArray& text() const { return text_; }
    qsizetype size() const { return text_.size(); }
    qsizetype trimAbove() const { return trimAbove_; }
    qsizetype trimTo() const { return trimTo_; }

    // Appends, then keeps only the last trimTo bytes if the text is now longer than trimAbove.
    void append(const QByteArray& bytes);
    void clear();

    // Bytes taken from the front since the start, by cuts and clears: text() holds the bytes
    // from cutBytes() on. A view removes what was cut from its front instead of redrawing.
    qint64 cutBytes() const { return cutBytes_; }
    // The last byte a cut took, or 0 (a CR there and an LF at the front are one line end).
    char lastCutByte() const { return lastCutByte_; }
    // Changes at every clear: a view starts over.
    quint64 generation() const { return generation_; }

signals:
    void changed();

private:
    QByteArray text_;
    qsizetype trimAbove_;
    qsizetype trimTo_;
    qint64 cutBytes_ = 0;
    char lastCutByte_ = 0;
    quint64 generation_ = 0;
};
