#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Readers and writers of the two settings files. Both are plain 8-bit text with CR LF lines;
// writers replace the file atomically, so a crash leaves the old or the new file.
namespace IniFiles {

inline const QString CommandIni = QStringLiteral("command.ini");
inline const QString TerminalIni = QStringLiteral("terminal.ini");

// The first maxLines lines of the file (CR LF, a lone CR or a lone LF end a line); lines after
// them are not read. ok is false when the file cannot be read.
QList<QByteArray> readLines(const QString& path, int maxLines, bool* ok);

// Items of terminal.ini: separated by line ends or commas, double quotes removed, surrounding
// blanks trimmed, empty items skipped. A file with control bytes is not a host list and gives
// no items.
QList<QByteArray> hostItems(const QByteArray& content);
// Reads terminal.ini; false when it is missing, unreadable or too large to be a host list.
bool readHostList(const QString& path, QList<QByteArray>* items);

// One line per entry, each ended by CR LF. Returns the error text on failure, else empty.
QString writeLines(const QString& path, const QList<QByteArray>& lines, int* fileError);

} // namespace IniFiles
