#include "core/IniFiles.h"

#include "core/LineEnds.h"

#include <QFile>
#include <QSaveFile>

namespace {
constexpr qint64 MaxHostListBytes = 1024 * 1024;
constexpr qint64 ReadBlock = 64 * 1024;
} // namespace

Expected<QList<QByteArray>> IniFiles::readLines(const QString& path, int maxLines) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fileFailure(file);
    // Read in blocks and stop after the last wanted line: a huge file costs only what is used.
    LineCollector lines(maxLines);
    while (!lines.full()) {
        const QByteArray block = file.read(ReadBlock);
        if (block.isEmpty())
            break;
        lines.feed(block);
    }
    if (file.error() != QFileDevice::NoError)
        return fileFailure(file);
    return lines.finish();
}

QList<QByteArray> IniFiles::hostItems(const QByteArray& content) {
    QList<QByteArray> items;
    for (char ch : content) {
        const uchar u = uchar(ch);
        if (u < 0x20 && ch != '\r' && ch != '\n' && ch != '\t')
            return {};
    }
    QByteArray item;
    auto flush = [&] {
        item.replace('"', QByteArray());
        item = item.trimmed();
        if (!item.isEmpty())
            items.append(item);
        item.clear();
    };
    for (char ch : content) {
        if (ch == '\r' || ch == '\n' || ch == ',')
            flush();
        else
            item.append(ch);
    }
    flush();
    return items;
}

Expected<QList<QByteArray>> IniFiles::readHostList(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fileFailure(file);
    if (file.size() > MaxHostListBytes)
        return Failure{ErrorNumber::DeviceIo, QStringLiteral("%1 is too large").arg(path)};
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fileFailure(file);
    return hostItems(content);
}

std::optional<Failure> IniFiles::writeLines(const QString& path, const QList<QByteArray>& lines) {
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    for (const QByteArray& line : lines) {
        if (!ok)
            break;
        ok = file.write(line) == line.size() && file.write("\r\n", 2) == 2;
    }
    if (ok && file.commit())
        return std::nullopt;
    const Failure why = fileFailure(file);
    file.cancelWriting();
    return why;
}
