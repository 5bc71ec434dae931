#pragma once

#include "core/Failure.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <optional>

// Terminal.log: opened for appending, every write handed to the operating system at once so a
// killed process loses nothing it had received. Writes while closed are silently skipped: a log
// that could not be opened at start must not stop the board's replies from reaching the console.
class LogFile {
public:
    explicit LogFile(QString path = QStringLiteral("Terminal.log")) : file_(std::move(path)) {}

    std::optional<Failure> open();
    void close() { file_.close(); }
    bool isOpen() const { return file_.isOpen(); }
    // Nothing when written, or when the log is closed.
    std::optional<Failure> append(const QByteArray& bytes);

private:
    QFile file_;
};
