#pragma once

#include <QStringView>

// Which help list a key typed into the command line calls up, judged on the line's text as it
// was before the key: a statement starts at the beginning of the line or after ":" or a space,
// a function name after "{" or "=".
enum class HelpKind { None, Statements, Functions };

HelpKind helpKindFor(QStringView textBefore);
