#include "help/HelpTrigger.h"

HelpKind helpKindFor(QStringView textBefore) {
    const qsizetype n = textBefore.size();
    if (n == 0)
        return HelpKind::Statements;
    const QChar last = textBefore.back();
    // A separator right at the start of a short line raises no help: "A:" and "=" show nothing.
    constexpr qsizetype StatementAfter = 3; // a statement after ":" or " " in a longer line
    constexpr qsizetype FunctionAfter = 2;  // a function after "{" or "="
    if (n >= StatementAfter && (last == u':' || last == u' '))
        return HelpKind::Statements;
    if (n >= FunctionAfter && (last == u'{' || last == u'='))
        return HelpKind::Functions;
    return HelpKind::None;
}
