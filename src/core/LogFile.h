#pragma once

#include "core/Failure.h"

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QString>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

// Terminal.log: opened for appending and written by a thread of its own, so a file system that
// makes a writer wait (a journal commit, write-back of a large log) never holds the thread that
// reads the board. What is handed over is written in the order it came, each piece whole; a
// killed process loses at most what it handed over while the disk was making the writer wait,
// and never leaves a gap or a torn piece in the middle of the log. Writes while closed are
// skipped: a log that could not be opened at start must not stop the board's replies from
// reaching the console.
class LogFile : public QObject {
    Q_OBJECT
public:
    explicit LogFile(QString path = QStringLiteral("Terminal.log"));
    ~LogFile() override; // everything handed over is written before the file closes
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Without blocking: a FIFO nobody reads fails at once; /dev/null is a fine log.
    std::optional<Failure> open();
    // After writing everything handed over.
    void close();
    // A writer runs exactly while the file is open.
    bool isOpen() const { return writer_.joinable(); }

    // Hands the bytes to the writer. Only a writer that has fallen far behind (a disk that
    // stopped) makes this wait, so memory stays bounded and nothing is dropped.
    void append(const QByteArray& bytes);

    // Waits until everything handed over has been written.
    void flush();
    // The first failure of a run of failing writes, once: a full disk must not bury the
    // operator in one message per received chunk. Taken by whoever tells the operator.
    std::optional<Failure> takeFailure();

signals:
    // Emitted on the writer's thread when a run of failing writes begins.
    void failureWaiting();

private:
    void writeWhatComes();
    bool writeAll(const QByteArray& bytes);

    QString path_;
    QFile file_; // written by the writer only; opened and closed while no writer runs
    std::thread writer_;
    std::mutex mutex_; // guards everything below
    std::condition_variable bytesCame_;
    std::condition_variable written_;
    QByteArray waiting_;
    QByteArray spare_; // the buffer last written, emptied, to take the next bytes
    bool writing_ = false;
    bool stopping_ = false;
    bool failing_ = false;
    std::optional<Failure> untold_;
};
