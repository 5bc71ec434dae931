#include "app/IniFiles.h"

#include <QFile>
#include <QSaveFile>

namespace {
constexpr qint64 MaxHostListBytes = 1024 * 1024;
constexpr qint64 ReadBlock = 64 * 1024;
} // namespace

QList<QByteArray> IniFiles::readLines(const QString& path, int maxLines, bool* ok) {
    QList<QByteArray> lines;
    QFile file(path);
    *ok = file.open(QIODevice::ReadOnly);
    if (!*ok)
        return lines;
    QByteArray current;
    bool afterCr = false;
    // Read in blocks and stop after the last wanted line: a huge file costs only what is used.
    while (lines.size() < maxLines) {
        const QByteArray block = file.read(ReadBlock);
        if (block.isEmpty())
            break;
        for (char ch : block) {
            if (ch == '\n' && afterCr) {
                afterCr = false;
                continue;
            }
            afterCr = ch == '\r';
            if (ch == '\r' || ch == '\n') {
                lines.append(current);
                current.clear();
                if (lines.size() == maxLines)
                    break;
            } else {
                current.append(ch);
            }
        }
    }
    if (file.error() != QFileDevice::NoError)
        *ok = false;
    if (lines.size() < maxLines && !current.isEmpty())
        lines.append(current);
    return lines;
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

bool IniFiles::readHostList(const QString& path, QList<QByteArray>* items) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxHostListBytes)
        return false;
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    *items = hostItems(content);
    return !items->isEmpty();
}

QString IniFiles::writeLines(const QString& path, const QList<QByteArray>& lines, int* fileError) {
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    for (const QByteArray& line : lines) {
        if (!ok)
            break;
        ok = file.write(line) == line.size() && file.write("\r\n", 2) == 2;
    }
    if (ok && file.commit())
        return {};
    if (fileError)
        *fileError = file.error();
    const QString why = file.errorString();
    file.cancelWriting();
    return why.isEmpty() ? QStringLiteral("Cannot write %1").arg(path) : why;
}
