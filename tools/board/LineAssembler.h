#pragma once

#include <QByteArray>
#include <QList>

namespace board {

// Cuts a byte stream into command lines. CR, LF and CR LF each end a line; the LF of a
// CR LF pair may arrive in a later read. Bytes after the last line end wait for more.
class LineAssembler {
public:
    static constexpr qsizetype kMaxPending = 64 * 1024;

    struct Line {
        QByteArray text;
        bool tooLong = false; // dropped for exceeding kMaxPending; earns an ERROR
    };

    QList<Line> feed(const QByteArray& bytes);
    qsizetype pendingSize() const { return m_pending.size(); }

private:
    QByteArray m_pending;
    bool m_afterCr = false;
    bool m_discarding = false; // inside an overlong line: skip to its end
};

} // namespace board
