#pragma once

#include "core/Failure.h"

#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <optional>

// The local file a transfer writes into. The bytes go into "<name>.part" (created, or emptied,
// by the file policy: a regular file or none; a device or a FIFO is refused and left as it
// was), each piece handed to the operating system at once; only a transfer that completes
// gives the file its name, replacing an older one. A transfer that ends any other way, or a
// program killed midway, leaves the ".part" file, whose name says it is partial, and the older
// file as it was.
class TargetFile {
public:
    static inline const QString PartSuffix = QStringLiteral(".part");

    std::optional<Failure> open(const QString& path);
    // A file that is closed takes nothing: a transfer that ended writes nowhere.
    std::optional<Failure> append(QByteArrayView bytes);
    // Stops writing; the part file stays until commit or abandon.
    void close() { file_.close(); }
    // The transfer completed: the part file takes the name.
    std::optional<Failure> commit();
    // The transfer ended otherwise: the part file stays as the record of what came, or goes
    // when nothing came.
    void abandon();

    bool isOpen() const { return file_.isOpen(); }
    // A part file waits for commit or abandon.
    bool pending() const { return pending_; }
    qint64 written() const { return written_; }
    const QString& path() const { return path_; }
    QString partPath() const { return path_ + PartSuffix; }

private:
    QFile file_;
    QString path_;
    qint64 written_ = 0;
    bool pending_ = false;
};
