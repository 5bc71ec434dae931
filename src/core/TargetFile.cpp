#include "core/TargetFile.h"

#include "core/FileAccess.h"

std::optional<Failure> TargetFile::open(const QString& path) {
    file_.close();
    path_ = path;
    written_ = 0;
    return FileAccess::createForWriting(file_, path);
}

std::optional<Failure> TargetFile::append(QByteArrayView bytes) {
    if (!file_.isOpen())
        return Failure{ErrorNumber::DeviceIo,
                       QStringLiteral("%1: written after it was closed").arg(path_)};
    const qint64 n = file_.write(bytes.data(), bytes.size());
    if (n != bytes.size())
        return fileFailure(file_);
    written_ += n;
    return std::nullopt;
}

void TargetFile::removeIfEmpty() {
    file_.close();
    if (written_ == 0 && !path_.isEmpty())
        QFile::remove(path_);
}
