#include "board/FlashDisk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace board {

FlashDisk::FlashDisk(const QString& folder) : m_folder(folder) {
    if (!m_folder.isEmpty())
        loadFolder();
}

bool FlashDisk::isValidName(const QByteArray& name) {
    if (name.isEmpty() || name.size() > kMaxNameLength || name.contains("..") ||
        name.startsWith('.'))
        return false;
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7F || c == '/' || c == '\\' || c == ':')
            return false;
    }
    return true;
}

void FlashDisk::loadFolder() {
    QDir dir(m_folder);
    if (!dir.exists())
        dir.mkpath(QStringLiteral("."));
    const QFileInfoList entries = dir.entryInfoList(QDir::Files, QDir::Name);
    qsizetype used = 0;
    for (const QFileInfo& info : entries) {
        // Files too big for the flash or with names the board would refuse stay on the host.
        if (!isValidName(info.fileName().toLatin1()) || used + info.size() > kCapacity)
            continue;
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray contents = file.read(kCapacity - used);
        used += contents.size();
        m_files.insert(info.fileName(), contents);
    }
}

bool FlashDisk::writeThrough(const QByteArray& bytes, bool truncate) {
    if (m_folder.isEmpty())
        return true;
    QFile file(QDir(m_folder).filePath(m_open));
    const auto mode = truncate ? QIODevice::WriteOnly | QIODevice::Truncate
                               : QIODevice::WriteOnly | QIODevice::Append;
    return file.open(mode) && file.write(bytes) == bytes.size();
}

qsizetype FlashDisk::usedBytes() const {
    qsizetype used = 0;
    for (const QByteArray& contents : m_files)
        used += contents.size();
    return used;
}

bool FlashDisk::openForWrite(const QByteArray& name) {
    close();
    if (!isValidName(name))
        return false;
    m_open = QString::fromLatin1(name);
    if (!writeThrough(QByteArray(), true)) {
        m_open.clear();
        return false;
    }
    m_files[m_open].clear();
    m_mode = Mode::Write;
    return true;
}

bool FlashDisk::openForRead(const QByteArray& name) {
    close();
    if (!isValidName(name) || !m_files.contains(QString::fromLatin1(name)))
        return false;
    m_open = QString::fromLatin1(name);
    m_mode = Mode::Read;
    m_cursor = 0;
    return true;
}

bool FlashDisk::append(const QByteArray& bytes) {
    if (m_mode != Mode::Write || bytes.size() > freeBytes())
        return false;
    if (!writeThrough(bytes, false))
        return false;
    m_files[m_open].append(bytes);
    return true;
}

bool FlashDisk::read(qsizetype count, QByteArray* out) {
    if (m_mode != Mode::Read)
        return false;
    const QByteArray& contents = m_files[m_open];
    *out = contents.mid(m_cursor, count);
    m_cursor += out->size();
    return true;
}

void FlashDisk::close() {
    m_mode = Mode::Closed;
    m_open.clear();
    m_cursor = 0;
}

} // namespace board
