#pragma once

#include "core/Failure.h"

#include <QString>
#include <optional>

// brenmoor.ini: the terminal's own choices, beside terminal.ini in the working folder. Plain
// "key=value" lines under "[section]" heads, CR LF, replaced whole like the other .ini files.
// Unknown keys and lines are skipped; a value out of range keeps its default.
struct Settings {
    static inline const QString FileName = QStringLiteral("brenmoor.ini");

    static constexpr int DefaultReplyWaitMs = 2000;
    static constexpr int MinReplyWaitMs = 100;
    static constexpr int MaxReplyWaitMs = 600000;
    static constexpr int DefaultPollPeriodMs = 1000;
    static constexpr int MinPollPeriodMs = 10;
    static constexpr int MaxPollPeriodMs = 3600000;

    bool showTimestamps = false;            // [console] timestamps
    int replyWaitMs = DefaultReplyWaitMs;   // [link] reply_wait_ms: silence told after this
    int pollPeriodMs = DefaultPollPeriodMs; // [modbus] poll_period_ms

    // A missing or unreadable file gives the defaults.
    static Settings read(const QString& path = FileName);
    std::optional<Failure> write(const QString& path = FileName) const;

    static Settings parse(const QByteArray& content);
    QByteArray text() const;

    bool operator==(const Settings&) const = default;
};
