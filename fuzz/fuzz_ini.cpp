// The two settings-file readers over any content, in memory: command.ini gives at most its 64
// lines, none holding a line end, the same lines however the content was cut at the byte bound;
// terminal.ini gives trimmed, unquoted, non-empty host items, or none for a file with control
// bytes. Input: the first byte's bit 0 says the content was cut at the byte bound.
#include "FuzzInput.h"

#include "core/IniFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const bool cutOff = data[0] & 1;
    const QByteArray content = inputBytes(data + 1, size - 1);

    const QList<QByteArray> lines = IniFiles::parseLines(content, 64, cutOff);
    check(lines.size() <= 64);
    qsizetype text = 0;
    for (const QByteArray& line : lines) {
        check(!line.contains('\r') && !line.contains('\n'));
        text += line.size();
    }
    check(text <= content.size());
    // All lines of the whole content, then the first 64: a reader that stops early agrees.
    const QList<QByteArray> all = IniFiles::parseLines(content, 1 << 30, cutOff);
    check(lines == all.first(qMin<qsizetype>(64, all.size())));

    for (const QByteArray& item : IniFiles::hostItems(content)) {
        check(!item.isEmpty() && item == item.trimmed());
        check(!item.contains('"') && !item.contains(',') && !item.contains('\n') &&
              !item.contains('\r'));
    }
    return 0;
}
