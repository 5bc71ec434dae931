#include "board/LineAssembler.h"

namespace board {

QList<LineAssembler::Line> LineAssembler::feed(const QByteArray& bytes) {
    QList<Line> result;
    for (const char c : bytes) {
        const bool swallow = m_afterCr && c == '\n';
        m_afterCr = c == '\r';
        if (swallow)
            continue;
        if (c == '\r' || c == '\n') {
            if (!m_discarding)
                result.append({m_pending, false});
            m_pending.clear();
            m_discarding = false;
            continue;
        }
        if (m_discarding)
            continue;
        if (m_pending.size() >= kMaxPending) {
            // Refuse once and skip the rest of the line so its tail is not run as a command.
            m_pending.clear();
            m_pending.squeeze();
            m_discarding = true;
            result.append({QByteArray(), true});
            continue;
        }
        m_pending.append(c);
    }
    return result;
}

} // namespace board
