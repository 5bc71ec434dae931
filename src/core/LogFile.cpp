#include "core/LogFile.h"

#include "core/FileAccess.h"

#include <utility>

namespace {
// How far the writer may fall behind before the reader waits for it: seconds of a flood.
constexpr qsizetype MaxWaitingBytes = 16 * 1024 * 1024;
// The two buffers that take turns (one filled while the other is written) are this large from
// the start, so a steady flood allocates nothing here; one that grew in a long wait is let go.
constexpr qsizetype KeptBufferBytes = 1024 * 1024;
} // namespace

LogFile::LogFile(QString path) : path_(std::move(path)) {
}

LogFile::~LogFile() {
    close();
}

std::optional<Failure> LogFile::open() {
    close();
    if (auto failed = FileAccess::openForAppend(file_, path_))
        return failed;
    {
        const std::lock_guard lock(mutex_);
        failing_ = false;
        untold_.reset();
        stopping_ = false;
        waiting_.reserve(KeptBufferBytes);
        spare_.reserve(KeptBufferBytes);
    }
    writer_ = std::thread([this] { writeWhatComes(); });
    return std::nullopt;
}

void LogFile::close() {
    if (!isOpen())
        return;
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    bytesCame_.notify_one();
    writer_.join(); // after writing everything handed over
    file_.close();
}

void LogFile::append(const QByteArray& bytes) {
    if (!isOpen() || bytes.isEmpty())
        return;
    std::unique_lock lock(mutex_);
    written_.wait(lock, [this] { return waiting_.size() < MaxWaitingBytes; });
    waiting_ += bytes;
    lock.unlock();
    bytesCame_.notify_one();
}

void LogFile::flush() {
    std::unique_lock lock(mutex_);
    written_.wait(lock, [this] { return waiting_.isEmpty() && !writing_; });
}

std::optional<Failure> LogFile::takeFailure() {
    const std::lock_guard lock(mutex_);
    return std::exchange(untold_, std::nullopt);
}

bool LogFile::writeAll(const QByteArray& bytes) {
    // A write cut short by a filling disk says no reason; the next one, with nothing written,
    // does (and writes the rest, should space have come back).
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 wrote = file_.write(bytes.constData() + done, bytes.size() - done);
        if (wrote <= 0)
            return false;
        done += wrote;
    }
    return true;
}

void LogFile::writeWhatComes() {
    std::unique_lock lock(mutex_);
    for (;;) {
        bytesCame_.wait(lock, [this] { return stopping_ || !waiting_.isEmpty(); });
        if (waiting_.isEmpty())
            return; // stopping, and everything handed over is written
        // The spare buffer, empty, takes what comes while this batch is written.
        QByteArray batch = std::exchange(waiting_, std::move(spare_));
        writing_ = true;
        lock.unlock();
        const bool whole = writeAll(batch);
        std::optional<Failure> why;
        if (!whole)
            why = fileFailure(file_);
        lock.lock();
        const bool runBegins = !whole && !failing_;
        failing_ = !whole;
        if (runBegins) {
            untold_ = why;
            // Told before the write counts as done, so whoever flushed finds it told.
            lock.unlock();
            emit failureWaiting();
            lock.lock();
        }
        writing_ = false;
        if (batch.capacity() > KeptBufferBytes)
            batch = QByteArray();
        batch.resize(0);
        batch.reserve(KeptBufferBytes); // nothing to do for a buffer this large already
        spare_ = std::move(batch);
        written_.notify_all();
    }
}
