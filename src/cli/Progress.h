#pragma once

#include <QElapsedTimer>
#include <QString>
#include <cstdio>

// Progress on standard error: one bar redrawn in place on a terminal, plain lines otherwise
// (a CI log gets one line per tenth, or one every few seconds when the total is unknown).
// Without `out` (--quiet) nothing is shown.
class Progress {
public:
    explicit Progress(bool terminal, std::FILE* out = stderr) : terminal_(terminal), out_(out) {}
    static bool stderrIsTerminal();

    // total < 0: unknown (a file read from the board); shown once something came.
    void start(const QString& what, qint64 total, const QString& unit);
    void update(qint64 done);
    // Ends the bar's line; the runner prints its own summary after it.
    void finish();

    // The bar's text for `done` of `total`, without the carriage return.
    static QString barText(const QString& what, qint64 done, qint64 total, const QString& unit);

private:
    void draw(qint64 done);

    bool terminal_;
    std::FILE* out_;
    QString what_, unit_;
    qint64 total_ = -1;
    qint64 lastStep_ = -1;
    bool started_ = false;
    bool drawn_ = false; // a bar on a terminal needs its line ended
    QElapsedTimer sinceDraw_;
};
