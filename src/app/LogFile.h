#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Terminal.log: opened for appending, every write handed to the operating system at once so a
// killed process loses nothing it had received. Writes while closed are silently skipped.
class LogFile {
public:
    explicit LogFile(QString path = QStringLiteral("Terminal.log")) : file_(std::move(path)) {}

    bool open();
    void close() { file_.close(); }
    bool isOpen() const { return file_.isOpen(); }
    // Returns false (and leaves errorString() set) when the write failed; true when written or
    // when the log is closed.
    bool append(const QByteArray& bytes);
    QString errorString() const { return file_.errorString(); }
    QFileDevice::FileError error() const { return file_.error(); }

private:
    QFile file_;
};
