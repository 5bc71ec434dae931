#pragma once

#include "core/Failure.h"

#include <QByteArray>
#include <QString>

// The client's guard on a program file, beyond the bounds every front end keeps: a script that
// names the wrong file must not fill a board with garbage lines.
namespace LocalFiles {

// A .bas file: text, so a byte below 0x20 other than TAB, CR, LF or FF means the wrong file
// was named.
Expected<QByteArray> readProgram(const QString& path);

} // namespace LocalFiles
