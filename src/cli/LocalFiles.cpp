#include "cli/LocalFiles.h"

#include "core/FileAccess.h"

Expected<QByteArray> LocalFiles::readWhole(const QString& path, qint64 maxBytes) {
    return FileAccess::readFile(path, maxBytes);
}

Expected<QByteArray> LocalFiles::readProgram(const QString& path) {
    Expected<QByteArray> bytes = readWhole(path, MaxProgramBytes);
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

std::optional<Failure> TargetFile::open(const QString& path) {
    path_ = path;
    written_ = 0;
    // A FIFO or a device at that name is refused rather than waited on or truncated.
    return FileAccess::createForWriting(file_, path);
}

std::optional<Failure> TargetFile::append(const QByteArray& bytes) {
    if (!file_.isOpen())
        return Failure{ErrorNumber::DeviceIo,
                       QStringLiteral("%1: written after it was closed").arg(path_)};
    const qint64 n = file_.write(bytes);
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
