#include "core/LogFile.h"

std::optional<Failure> LogFile::open() {
    file_.close();
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return fileFailure(file_);
    return std::nullopt;
}

std::optional<Failure> LogFile::append(const QByteArray& bytes) {
    if (!file_.isOpen() || bytes.isEmpty())
        return std::nullopt;
    if (file_.write(bytes) != bytes.size())
        return fileFailure(file_);
    return std::nullopt;
}
