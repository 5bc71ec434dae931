#pragma once

#include "board/FlashDisk.h"
#include "board/ProgramStore.h"

#include <QByteArray>
#include <QList>

namespace board {

// The firmware's command line: one line in, the reply lines out (each ending in CR LF).
// No I/O, so transports and tests can drive it directly. An empty line gets no reply, so
// stray line ends from the terminal do not produce unexpected OKs.
class CommandInterpreter {
public:
    explicit CommandInterpreter(const QString& diskFolder = QString(), bool login = false);

    QList<QByteArray> run(const QByteArray& line);

    const ProgramStore& program() const { return m_program; }
    const FlashDisk& disk() const { return m_disk; }

private:
    QList<QByteArray> runLine(const QByteArray& line, bool viaMdc);
    QList<QByteArray> programLine(const QByteArray& line);
    QList<QByteArray> list() const;
    QList<QByteArray> status() const;
    QList<QByteArray> print(const QByteArray& args) const;
    QList<QByteArray> fopen(const QByteArray& args);
    QList<QByteArray> write(const QByteArray& args);
    QList<QByteArray> read(const QByteArray& args);
    QList<QByteArray> mdc(const QByteArray& args);

    ProgramStore m_program;
    FlashDisk m_disk;
    bool m_login;
};

} // namespace board
