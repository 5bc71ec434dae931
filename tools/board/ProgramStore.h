#pragma once

#include <QByteArray>
#include <QList>
#include <map>

namespace board {

// The BASIC program held by the board: numbered lines kept in number order.
class ProgramStore {
public:
    static constexpr int kMaxLines = 4096;
    static constexpr qsizetype kMaxBytes = 1024 * 1024;
    static constexpr int kMaxLineNumber = 65535;

    // Stores `text` under `number`, replacing a line with that number; an empty text deletes
    // it. False when the program would grow past its limits.
    bool store(int number, const QByteArray& text);
    void clear();

    int lineCount() const { return int(m_lines.size()); }
    qsizetype byteCount() const { return m_bytes; }
    // "number text" for every line, in order, without line ends.
    QList<QByteArray> listing() const;

private:
    std::map<int, QByteArray> m_lines;
    qsizetype m_bytes = 0;
};

} // namespace board
