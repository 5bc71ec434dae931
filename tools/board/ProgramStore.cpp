#include "board/ProgramStore.h"

namespace board {

bool ProgramStore::store(int number, const QByteArray& text) {
    if (number < 0 || number > kMaxLineNumber)
        return false;
    const auto existing = m_lines.find(number);
    const qsizetype oldSize = existing == m_lines.end() ? 0 : existing->second.size();
    if (text.isEmpty()) {
        if (existing != m_lines.end()) {
            m_bytes -= oldSize;
            m_lines.erase(existing);
        }
        return true;
    }
    if (existing == m_lines.end() && lineCount() >= kMaxLines)
        return false;
    if (m_bytes - oldSize + text.size() > kMaxBytes)
        return false;
    m_bytes += text.size() - oldSize;
    m_lines[number] = text;
    return true;
}

void ProgramStore::clear() {
    m_lines.clear();
    m_bytes = 0;
}

QList<QByteArray> ProgramStore::listing() const {
    QList<QByteArray> out;
    out.reserve(qsizetype(m_lines.size()));
    for (const auto& [number, text] : m_lines)
        out.append(QByteArray::number(number) + ' ' + text);
    return out;
}

} // namespace board
