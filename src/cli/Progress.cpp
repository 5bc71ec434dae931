#include "cli/Progress.h"

#include <unistd.h>

namespace {
constexpr int BarWidth = 30;
constexpr int TerminalRedrawMs = 100;
constexpr int PlainUnknownEveryMs = 2000;
} // namespace

bool Progress::stderrIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

QString Progress::barText(const QString& what, qint64 done, qint64 total, const QString& unit) {
    if (total <= 0)
        return QStringLiteral("%1: %2 %3").arg(what).arg(done).arg(unit);
    const qint64 shown = qBound<qint64>(0, done, total);
    const int filled = int(shown * BarWidth / total);
    return QStringLiteral("%1 [%2%3] %4% %5/%6 %7")
        .arg(what, QString(filled, u'#'), QString(BarWidth - filled, u'.'))
        .arg(shown * 100 / total, 3)
        .arg(shown)
        .arg(total)
        .arg(unit);
}

void Progress::start(const QString& what, qint64 total, const QString& unit) {
    what_ = what;
    unit_ = unit;
    total_ = total;
    lastStep_ = -1;
    drawn_ = false;
    started_ = out_ != nullptr;
    sinceDraw_.start();
    if (started_ && total_ > 0)
        draw(0);
}

void Progress::update(qint64 done) {
    if (!started_ || (total_ <= 0 && done == 0))
        return;
    if (terminal_) {
        if (sinceDraw_.elapsed() >= TerminalRedrawMs || (total_ > 0 && done >= total_))
            draw(done);
        return;
    }
    if (total_ > 0) {
        const qint64 step = qBound<qint64>(0, done, total_) * 10 / total_;
        if (step != lastStep_)
            draw(done);
    } else if (sinceDraw_.elapsed() >= PlainUnknownEveryMs) {
        draw(done);
    }
}

void Progress::finish() {
    if (!started_)
        return;
    if (terminal_ && drawn_)
        std::fputs("\n", out_);
    started_ = false;
    std::fflush(out_);
}

void Progress::draw(qint64 done) {
    drawn_ = true;
    sinceDraw_.restart();
    if (total_ > 0)
        lastStep_ = qBound<qint64>(0, done, total_) * 10 / total_;
    const QByteArray text = barText(what_, done, total_, unit_).toLocal8Bit();
    if (terminal_)
        std::fprintf(out_, "\r%s\x1b[K", text.constData());
    else
        std::fprintf(out_, "%s\n", text.constData());
    std::fflush(out_);
}
