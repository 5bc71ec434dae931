#pragma once

#include "core/Failure.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// Readers and writers of the two settings files. Both are plain 8-bit text with CR LF lines;
// writers replace the file atomically, so a crash leaves the old or the new file.
namespace IniFiles {

inline const QString CommandIni = QStringLiteral("command.ini");
inline const QString TerminalIni = QStringLiteral("terminal.ini");

// The first maxLines lines of the file (CR LF, a lone CR or a lone LF end a line); lines after
// them are not read, nor anything past maxBytes (a line cut there is left out).
Expected<QList<QByteArray>> readLines(const QString& path, int maxLines,
                                      qint64 maxBytes = 16 * 1024 * 1024);
// The same over content in memory; `cutOff`: the content ends at a byte bound, so a last line
// without its end is not whole and is left out. readLines parses with it.
QList<QByteArray> parseLines(QByteArrayView content, int maxLines, bool cutOff = false);

// Items of terminal.ini: separated by line ends or commas, double quotes removed, surrounding
// blanks trimmed, empty items skipped. A file with control bytes is not a host list and gives
// no items.
QList<QByteArray> hostItems(const QByteArray& content);
// The items of terminal.ini; a failure when it is missing, unreadable or too large to be a host
// list. An empty list is not a failure.
Expected<QList<QByteArray>> readHostList(const QString& path);

// One line per entry, each ended by CR LF.
std::optional<Failure> writeLines(const QString& path, const QList<QByteArray>& lines);

} // namespace IniFiles
