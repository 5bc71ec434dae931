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
    explicit LogFile(QString path = QStringLiteral("Terminal.log")) : path_(std::move(path)) {}

    // Without blocking: a FIFO nobody reads fails at once; /dev/null is a fine log.
    std::optional<Failure> open();
    void close() { file_.close(); }
    bool isOpen() const { return file_.isOpen(); }

    // A write that fails is reported once for a run of failures: the first failure is returned,
    // the ones after it return nothing until a write succeeds again. A full disk must not bury
    // the window in one message per received chunk.
    std::optional<Failure> append(const QByteArray& bytes);

private:
    QString path_;
    QFile file_;
    bool failing_ = false;
};
