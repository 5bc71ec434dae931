#include "core/IniFiles.h"

#include "core/FileAccess.h"
#include "core/LineEnds.h"

#include <QFile>

namespace {
constexpr qint64 MaxHostListBytes = 1024 * 1024;
constexpr qint64 ReadBlock = 64 * 1024;
} // namespace

Expected<QList<QByteArray>> IniFiles::readLines(const QString& path, int maxLines,
                                                qint64 maxBytes) {
    QFile file;
    if (auto failed = FileAccess::openForReading(file, path))
        return *failed;
    // Read in blocks and stop once the wanted lines are in or at the byte bound: a huge file
    // costs only what is used. Twice as many CR and LF bytes as lines holds that many line ends
    // even when each is a CR LF pair.
    QByteArray content;
    qsizetype lineEndBytes = 0;
    while (lineEndBytes < 2 * qsizetype(maxLines)) {
        const QByteArray block = file.read(qMin(ReadBlock, maxBytes - content.size()));
        if (block.isEmpty())
            break;
        lineEndBytes += block.count('\r') + block.count('\n');
        content += block;
    }
    if (file.error() != QFileDevice::NoError)
        return fileFailure(file);
    return parseLines(content, maxLines, content.size() >= maxBytes);
}

QList<QByteArray> IniFiles::parseLines(QByteArrayView content, int maxLines, bool cutOff) {
    LineCollector lines(maxLines);
    lines.feed(content);
    return cutOff ? lines.finishWhole() : lines.finish();
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
    QFile file;
    if (auto failed = FileAccess::openForReading(file, path))
        return *failed;
    // One byte past the bound tells a file that is too large from one that just fits.
    const QByteArray content = file.read(MaxHostListBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return fileFailure(file);
    if (content.size() > MaxHostListBytes)
        return Failure{ErrorNumber::DeviceIo, QStringLiteral("%1 is too large").arg(path)};
    return hostItems(content);
}

std::optional<Failure> IniFiles::writeLines(const QString& path, const QList<QByteArray>& lines) {
    QByteArray bytes;
    for (const QByteArray& line : lines)
        bytes += line + "\r\n";
    return FileAccess::replaceFile(path, bytes);
}
