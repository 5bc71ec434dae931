#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// The board's replies as the lines it meant, however they were cut into datagrams, serial
// reads or frames. CR LF, a lone CR and a lone LF each end a line, and a line keeps its line
// end exactly as it came, so the lines joined give back every byte.
//
// A line that ends in CR is handed on at once: a board that ends its lines with CR alone
// would otherwise wait forever for a byte that never comes. When the next piece then starts
// with the LF of that CR LF, the LF comes out on its own, marked as the end of the line before.
class ReplyLines {
public:
    // A line without an end is handed on whole at this size, so a board that never ends a line
    // cannot grow the buffer without bound.
    static constexpr qsizetype MaxLine = 64 * 1024;

    struct Line {
        QByteArray bytes;
        bool endOfPrevious = false; // the LF of a CR LF cut between two pieces

        bool operator==(const Line&) const = default;
    };

    // The lines `text` completes, in order.
    QList<Line> feed(QByteArrayView text);
    // The start of a line not yet ended, taken out.
    QByteArray takePartial();
    bool hasPartial() const { return !partial_.isEmpty(); }
    const QByteArray& partial() const { return partial_; }
    // Text that went on whole, not as lines (or a line handed on after it was read): only
    // whether it ended in a CR is kept, so an LF at the start of the next piece is still known
    // for the end of that line.
    void passedOn(QByteArrayView text);
    // The last piece ended in a CR whose LF may still come.
    bool afterCr() const { return afterCr_; }

private:
    QByteArray partial_;
    bool afterCr_ = false;
};
