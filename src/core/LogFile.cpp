#include "core/LogFile.h"

#include "core/FileAccess.h"

std::optional<Failure> LogFile::open() {
    file_.close();
    failing_ = false;
    return FileAccess::openForAppend(file_, path_);
}

std::optional<Failure> LogFile::append(const QByteArray& bytes) {
    if (!file_.isOpen() || bytes.isEmpty())
        return std::nullopt;
    if (file_.write(bytes) == bytes.size()) {
        failing_ = false;
        return std::nullopt;
    }
    const bool first = !failing_;
    failing_ = true;
    if (!first)
        return std::nullopt;
    return fileFailure(file_);
}
