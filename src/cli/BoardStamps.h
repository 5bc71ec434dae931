#pragma once

#include "console/LineStamp.h"
#include "core/Clock.h"

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

// --timestamps: the window console's line times in front of the printed board text. A line is
// stamped when its first byte that is not a line end is printed, so an empty line carries no
// time; after a line sent, the board's lines also carry the time since it ("+12 ms").
class BoardStamps {
public:
    explicit BoardStamps(MsClock wall = &Clock::wallMs, MsClock steady = &Clock::steadyMs)
        : wall_(std::move(wall)), steady_(std::move(steady)) {}

    // A line went to the board: the lines from now on are its reply.
    void lineSent() { sentSteady_ = steady_(); }
    // `text` with the stamp in front of every line that begins in it.
    QByteArray stamp(QByteArrayView text);

private:
    MsClock wall_;
    MsClock steady_;
    StampFormatter formatter_;
    std::optional<qint64> sentSteady_;
    bool atLineStart_ = true;
};
