#pragma once

#include "cli/BoardStamps.h"
#include "cli/ExitCode.h"
#include "core/LineEnds.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <cstdio>
#include <optional>

// What a run tells, and where: the board's text on standard output (LF line ends, or as it came
// with --raw), warnings, errors and the summary on standard error. With --json standard output
// holds one object that sums the run up instead: its figures, the board's text as lines, and
// how it ended.
class Report {
public:
    struct Mode {
        bool json = false;
        bool quiet = false; // no summary
        bool raw = false;
        bool timestamps = false; // the console's line times in front of board text
    };

    explicit Report(Mode mode, std::FILE* out = stdout, std::FILE* err = stderr)
        : mode_(mode), out_(out), err_(err) {
        if (mode.timestamps)
            stamps_.emplace();
    }

    bool json() const { return mode_.json; }

    // Board text, as the link delivered it.
    void board(QByteArrayView bytes);
    // The client's own account on standard output (a MODBUS frame in hex, its reading); with
    // --json the runner gives it as figures instead.
    void account(QByteArrayView text);
    // With --timestamps: a line went to the board, and `text` with the line times in front.
    void lineSent();
    QByteArray stamped(QByteArrayView text);
    // One object on its own line, at once: a run that reports as it goes (JSON lines).
    void jsonLine(const QJsonObject& object);
    // A figure of the JSON object.
    void set(const QString& key, const QJsonValue& value) { fields_.insert(key, value); }

    // One line on standard error; the first one is the JSON object's error. Returns `code`.
    int fail(int code, const QString& message);
    int fail(ExitCode code, const QString& message) { return fail(int(code), message); }
    bool failed() const { return fields_.contains(QStringLiteral("error")); }
    void note(const QString& message);    // a warning: always said
    void summary(const QString& message); // how a run went: not with --quiet or --json

    // The run is over: with --json the object goes out, with the exit code.
    void finish(int exitCode);

private:
    void write(std::FILE* to, QByteArrayView bytes);

    Mode mode_;
    std::FILE* out_;
    std::FILE* err_;
    LineEnds lineEnds_; // a CR LF cut between two chunks is one line end
    std::optional<BoardStamps> stamps_;
    QByteArray boardText_;
    QJsonObject fields_;
};
