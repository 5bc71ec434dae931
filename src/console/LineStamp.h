#pragma once

#include <QString>
#include <QtGlobal>

// When a console line began, kept beside the console's bytes rather than in them: the bytes stay
// exactly as they came (the log, the transfers and every count of the text rely on that), and
// showing or hiding the times is only a redraw. A line is stamped when its first byte that is
// not a line end arrives, so an empty line carries no time.
struct LineStamp {
    qint64 offset = 0;      // where the line's first byte lies, counted from the console's start
    qint64 atMs = 0;        // milliseconds since the epoch
    qint32 replyMs = -1;    // a board line: the time since the last line sent; -1 for none
    qint64 charsBefore = 0; // the characters of every stamp before this one, since the start

    // "12:34:56.789 " and, for a board line after a line sent, "+12 ms ".
    qsizetype length() const;
};

// The stamp as the console shows it, in local time. The hours, minutes and seconds are worked
// out once a second at most: a flood of short lines stamps many lines in one second.
class StampFormatter {
public:
    static constexpr qsizetype TimeChars = 13; // "HH:mm:ss.zzz "

    QString text(const LineStamp& stamp);

private:
    qint64 second_ = -1;
    QString clock_;
};
