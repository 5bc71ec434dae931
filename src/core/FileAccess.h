#pragma once

#include "core/Failure.h"

#include <QByteArray>
#include <QString>
#include <optional>

class QFile;

// How the program opens the files it keeps and the files an operator points it at. Nothing here
// may hang the window or eat its memory: a FIFO with nobody at the other end, a device that
// never ends (/dev/zero) or a full disk each end in a Failure instead.
namespace FileAccess {

// Bounds on the local files a transfer reads whole, the same for the window and the client.
constexpr qint64 MaxProgramBytes = 4 * 1024 * 1024;    // far beyond 2048 lines a board takes
constexpr qint64 MaxFlashFileBytes = 16 * 1024 * 1024; // far beyond any board's flash disk

// Opens for reading without blocking. Only a regular file will do: a FIFO or a device is
// refused at once rather than waited on or read forever.
std::optional<Failure> openForReading(QFile& file, const QString& path);

// Opens for appending, created when missing, without blocking: a FIFO that nobody reads fails
// at once. Devices are allowed, so a log linked to /dev/null keeps working.
std::optional<Failure> openForAppend(QFile& file, const QString& path);

// Replaces the file with `bytes` atomically: afterwards it holds either the old content or all
// of the new. Only a regular file (or none) is replaced; a device or a FIFO at that name is left
// alone. Every byte is flushed and checked before the new file takes the old one's place, so a
// full disk never costs the old content.
std::optional<Failure> replaceFile(const QString& path, const QByteArray& bytes);

// The whole content of a regular file, read without blocking. A file longer than `maxBytes`
// is refused before it is read, so a huge file never lands in memory.
Expected<QByteArray> readFile(const QString& path, qint64 maxBytes);

// Creates the file for writing, or empties it when it exists, without blocking. Only a regular
// file (or none) will do: a device or a FIFO at that name is refused and left as it was. Every
// write goes straight to the operating system, so what was written survives a killed process.
std::optional<Failure> createForWriting(QFile& file, const QString& path);

// The failure for a system error number met on `path`.
Failure systemFailure(int error, const QString& path);

} // namespace FileAccess
