#include "cli/LocalFiles.h"

#include "core/FileAccess.h"

Expected<QByteArray> LocalFiles::readProgram(const QString& path) {
    Expected<QByteArray> bytes = FileAccess::readFile(path, FileAccess::MaxProgramBytes);
    if (!bytes)
        return bytes;
    for (qsizetype i = 0; i < bytes->size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes->at(i));
        if (c < 0x20 && c != '\t' && c != '\r' && c != '\n' && c != '\f')
            return Failure{ErrorNumber::PathAccess,
                           QStringLiteral("%1 is not a program text: byte 0x%2 at offset %3")
                               .arg(path)
                               .arg(c, 2, 16, QLatin1Char('0'))
                               .arg(i)};
    }
    return bytes;
}
