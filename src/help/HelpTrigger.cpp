#include "help/HelpTrigger.h"

HelpKind helpKindFor(QStringView textBefore) {
    const qsizetype n = textBefore.size();
    if (n == 0)
        return HelpKind::Statements;
    const QChar last = textBefore.back();
    // A separator right at the start of a short line raises no help: "A:" and "=" show nothing.
    if (n >= 3 && (last == u':' || last == u' '))
        return HelpKind::Statements;
    if (n >= 2 && (last == u'{' || last == u'='))
        return HelpKind::Functions;
    return HelpKind::None;
}
