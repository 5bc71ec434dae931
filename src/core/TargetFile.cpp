#include "core/TargetFile.h"

#include "core/FileAccess.h"

#include <QFileInfo>
#include <cerrno>
#include <cstdio>

std::optional<Failure> TargetFile::open(const QString& path) {
    if (pending_)
        abandon();
    path_ = path;
    written_ = 0;
    // The name itself must be one the file may take: a device or a FIFO there stays untouched.
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        return Failure{ErrorNumber::PathAccess,
                       QStringLiteral("%1 is not a regular file").arg(path)};
    if (auto failed = FileAccess::createForWriting(file_, partPath()))
        return failed;
    pending_ = true;
    return std::nullopt;
}

std::optional<Failure> TargetFile::append(QByteArrayView bytes) {
    if (!file_.isOpen())
        return Failure{ErrorNumber::DeviceIo,
                       QStringLiteral("%1: written after it was closed").arg(partPath())};
    const qint64 n = file_.write(bytes.data(), bytes.size());
    if (n != bytes.size())
        return fileFailure(file_);
    written_ += n;
    return std::nullopt;
}

std::optional<Failure> TargetFile::commit() {
    file_.close();
    if (!pending_)
        return std::nullopt;
    pending_ = false;
    // rename() replaces an older file in one step: the name never shows half a file.
    const QByteArray from = QFile::encodeName(partPath());
    const QByteArray to = QFile::encodeName(path_);
    if (std::rename(from.constData(), to.constData()) != 0)
        return FileAccess::systemFailure(errno, path_);
    return std::nullopt;
}

void TargetFile::abandon() {
    file_.close();
    if (!pending_)
        return;
    pending_ = false;
    if (written_ == 0)
        QFile::remove(partPath());
}
