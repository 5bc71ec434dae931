#pragma once

#include "core/Failure.h"

#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <optional>

// The local file a transfer writes into: created, or emptied when it exists, by the file
// policy (a regular file or none; a device or a FIFO at that name is refused and left as it
// was), each piece handed to the operating system at once, so a killed process keeps what came.
class TargetFile {
public:
    std::optional<Failure> open(const QString& path);
    // A file that is closed takes nothing: a transfer that ended writes nowhere.
    std::optional<Failure> append(QByteArrayView bytes);
    void close() { file_.close(); }
    bool isOpen() const { return file_.isOpen(); }
    qint64 written() const { return written_; }
    const QString& path() const { return path_; }
    // A transfer that ended before any byte came leaves no empty file behind.
    void removeIfEmpty();

private:
    QFile file_;
    QString path_;
    qint64 written_ = 0;
};
