#include "core/FileAccess.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::optional<Failure> adopt(QFile& file, int fd, QIODevice::OpenMode mode) {
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fileFailure(file);
    }
    return std::nullopt;
}

// Opens without blocking and keeps the handle only when it is a regular file's.
Expected<int> openRegular(const QString& path, int flags) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        return FileAccess::systemFailure(errno, path);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Failure{ErrorNumber::PathAccess,
                       QStringLiteral("%1 is not a regular file").arg(path)};
    }
    return fd;
}

} // namespace

Failure FileAccess::systemFailure(int error, const QString& path) {
    int number = ErrorNumber::PathAccess;
    switch (error) {
    case ENOENT:
        number = ErrorNumber::FileNotFound;
        break;
    case EACCES:
    case EPERM:
    case EROFS:
        number = ErrorNumber::PermissionDenied;
        break;
    case EIO:
    case ENOSPC:
    case EDQUOT:
        number = ErrorNumber::DeviceIo;
        break;
    default:
        break;
    }
    return {number,
            QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(error)))};
}

std::optional<Failure> FileAccess::openForReading(QFile& file, const QString& path) {
    const Expected<int> fd = openRegular(path, O_RDONLY);
    if (!fd)
        return fd.failure();
    return adopt(file, *fd, QIODevice::ReadOnly);
}

std::optional<Failure> FileAccess::openForAppend(QFile& file, const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const int fd =
        ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        return systemFailure(errno, path);
    return adopt(file, fd, QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
}

std::optional<Failure> FileAccess::replaceFile(const QString& path, const QByteArray& bytes) {
    const QFileInfo existing(path); // follows links: the file that would be replaced
    if (existing.exists() && !existing.isFile())
        return Failure{ErrorNumber::PathAccess,
                       QStringLiteral("%1 is not a regular file").arg(path)};
    QSaveFile file(path);
    // The last buffered bytes reach the disk only in flush(); a failure there must stop the
    // commit, or an empty file would take the old one's place.
    const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
                         file.flush() && file.error() == QFileDevice::NoError;
    if (written && file.commit())
        return std::nullopt;
    Failure why = fileFailure(file);
    file.cancelWriting();
    return why;
}

Expected<QByteArray> FileAccess::readFile(const QString& path, qint64 maxBytes) {
    QFile file;
    if (const auto failed = openForReading(file, path))
        return *failed;
    const auto tooLong = [&] {
        return Failure{ErrorNumber::Overflow,
                       QStringLiteral("%1 is longer than %2 bytes").arg(path).arg(maxBytes)};
    };
    if (file.size() > maxBytes)
        return tooLong();
    // Read to the end, never past the bound: a file that grows meanwhile is still caught.
    QByteArray bytes;
    bytes.reserve(file.size());
    for (;;) {
        const QByteArray part = file.read(qMin<qint64>(maxBytes + 1 - bytes.size(), 1 << 20));
        if (file.error() != QFileDevice::NoError)
            return fileFailure(file);
        if (part.isEmpty())
            break;
        bytes += part;
        if (bytes.size() > maxBytes)
            return tooLong();
    }
    return bytes;
}

std::optional<Failure> FileAccess::createForWriting(QFile& file, const QString& path) {
    // Not truncated on open: what stands at the name is looked at first.
    const Expected<int> fd = openRegular(path, O_WRONLY | O_CREAT);
    if (!fd)
        return fd.failure();
    if (::ftruncate(*fd, 0) != 0) {
        const int error = errno;
        ::close(*fd);
        return systemFailure(error, path);
    }
    return adopt(file, *fd, QIODevice::WriteOnly | QIODevice::Unbuffered);
}
