// The two settings-file readers over arbitrary bytes: no crash, bounded output.
#include "core/IniFiles.h"

#include <QTemporaryFile>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<QByteArray> items = IniFiles::hostItems(bytes);
    for (const QByteArray& item : items) {
        if (item.isEmpty() || item.contains('"') || item.contains(',') || item.contains('\n'))
            std::abort();
    }
    static QTemporaryFile file;
    if (!file.isOpen() && !file.open())
        return 0;
    file.resize(0);
    file.seek(0);
    file.write(bytes);
    file.flush();
    const auto lines = IniFiles::readLines(file.fileName(), 64);
    if (!lines || lines->size() > 64)
        std::abort();
    return 0;
}
