#include "app/LogFile.h"

bool LogFile::open() {
    file_.close();
    return file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
}

bool LogFile::append(const QByteArray& bytes) {
    if (!file_.isOpen() || bytes.isEmpty())
        return true;
    return file_.write(bytes) == bytes.size();
}
