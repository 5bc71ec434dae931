#include "link/HostEntry.h"

HostEntry splitHostEntry(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.count(u':') != 1)
        return {trimmed, std::nullopt};
    const qsizetype colon = trimmed.indexOf(u':');
    return {trimmed.left(colon), trimmed.mid(colon + 1)};
}
