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

    // Changes whenever text() no longer starts with what the view has shown (a cut or a clear):
    // the view redraws then, and otherwise only appends what lies beyond its part.
    quint64 generation() const { return generation_; }

signals:
    void changed();

private:
    QByteArray text_;
    qsizetype trimAbove_;
    qsizetype trimTo_;
    quint64 generation_ = 0;
};
