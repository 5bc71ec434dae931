#pragma once

#include "core/Failure.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>

class Interrupt;
class LinkAdapter;

// What the board sent, waiting for a runner, and the one place a runner waits for it.
//
// Transfers read board text a line at a time: every reply line the firmware sends ends in
// LF, and a reply cut across datagrams or serial reads (or several lines in one read) must
// reach the transfer's parser as the lines the board meant, or a hex piece split in two would
// be read as two replies. The firmware sends one line per datagram, and then these are
// exactly the chunks the window's parsers see.
class ReplyQueue : public QObject {
    Q_OBJECT
public:
    // A line without LF is handed on whole once it reaches this size, so a board that never
    // ends its line cannot grow the buffer without bound.
    static constexpr qsizetype MaxLine = 64 * 1024;

    enum class Status { Got, TimedOut, Interrupted, LinkLost };
    struct Next {
        Status status = Status::TimedOut;
        QByteArray bytes;
        qint64 arrivedNs = 0; // on clock(), when the last of its bytes came
    };

    // Transfers and board commands read lines of board text; modbus and monitor read the
    // raw chunks as they came. Only the one kind is kept.
    enum class Reads { Lines, Chunks };
    ReplyQueue(LinkAdapter& link, Interrupt& interrupt, Reads reads);

    Next nextLine(int timeoutMs);
    Next nextChunk(int timeoutMs);
    // Board text after the last whole line, taken out of the queue.
    QByteArray takePartial();
    std::optional<Failure> lostBecause() const { return lost_; }
    // Nanoseconds since the queue was made: the handshake clock.
    qint64 nowNs() const { return clock_.nsecsElapsed(); }

signals:
    void arrived();

private:
    struct Entry {
        QByteArray bytes;
        qint64 arrivedNs;
    };
    void onText(const QByteArray& text);
    Next take(QList<Entry>& from, int timeoutMs);

    Interrupt& interrupt_;
    QElapsedTimer clock_;
    QList<Entry> lines_;
    QList<Entry> chunks_;
    QByteArray partial_;
    std::optional<Failure> lost_;
};
