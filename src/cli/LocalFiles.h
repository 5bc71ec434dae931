#pragma once

#include "core/Failure.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <optional>

// The local files of a run. Reading never blocks and never reads without a bound: a FIFO, a
// device or a runaway file is refused with a reason instead.
namespace LocalFiles {

constexpr qint64 MaxProgramBytes = 1024 * 1024;  // a program far beyond any board's memory
constexpr qint64 MaxPutBytes = 16 * 1024 * 1024; // far beyond any board's flash disk

Expected<QByteArray> readWhole(const QString& path, qint64 maxBytes);

// A .bas file: text, so a byte below 0x20 other than TAB, CR, LF or FF means the wrong file
// was named, and sending it would fill the board with garbage lines.
Expected<QByteArray> readProgram(const QString& path);

} // namespace LocalFiles

// The file a download or a get writes: created or emptied when the transfer starts, each
// received piece handed to the system at once, so an interrupted run keeps what came.
class TargetFile {
public:
    std::optional<Failure> open(const QString& path);
    std::optional<Failure> append(const QByteArray& bytes);
    void close() { file_.close(); }
    bool isOpen() const { return file_.isOpen(); }
    qint64 written() const { return written_; }
    const QString& path() const { return path_; }
    // A transfer that ended before any byte came leaves no empty file behind.
    void removeIfEmpty();

private:
    QFile file_;
    QString path_;
    qint64 written_ = 0;
};
