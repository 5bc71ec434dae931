#pragma once

#include "console/LineStamp.h"
#include "core/LineEnds.h"

#include <QObject>
#include <QTimer>

class ConsoleModel;
class QPlainTextEdit;

// Brings the console widget up to date with its model a few times a second instead of once per
// chunk, so a flood of datagrams costs one repaint per interval. Line ends are shown as the
// board meant them: CR LF, a lone CR and a lone LF each end a line, also when a CR LF pair is
// split across two chunks. While the model shows times, each line begins with its stamp.
//
// A catch-up costs what changed, never the whole box: what the model cut from its front is
// removed from the widget's front, what it added is appended. Only a clear, a replace or
// showing or hiding the times draws the text anew.
class ConsoleView : public QObject {
    Q_OBJECT
public:
    static constexpr int IntervalMs = 30;
    // While a flood cuts away everything shown between two catch-ups, each catch-up draws the
    // box anew; the text runs past too fast to read, so it is drawn less often, and only its
    // last FloodTailBytes (from a line start where one is near): laying out all 48,000
    // characters held the window's thread for up to 11 ms. The scroll bar is not painted
    // meanwhile: Qt fills a tall bar on a pool of threads and waits for them, which on a busy
    // machine held the window for 10 ms and more at each catch-up. Once the flood stops, the
    // next catch-up, which comes also when nothing more arrives, draws everything again.
    static constexpr int FloodIntervalMs = 100;
    static constexpr qint64 FloodTailBytes = 8192;

    ConsoleView(ConsoleModel* model, QPlainTextEdit* edit, QObject* parent = nullptr);

    // Catches up at once and whole (tests, and before anything reads the widget).
    void sync() { catchUp(false); }

private:
    void catchUp(bool tailOnFlood);
    // Where a drawing of the last FloodTailBytes before `end` starts.
    qint64 floodTailStart(qint64 first, qint64 end) const;
    // The text from `from` to `to` (offsets from the console's start) as the widget shows it.
    QString shownRange(qint64 from, qint64 to);
    void removeFront(qint64 chars);

    ConsoleModel* model_;
    QPlainTextEdit* edit_;
    QTimer timer_;
    quint64 shownGeneration_ = 0;
    qint64 shownFirst_ = 0;
    qint64 shownEnd_ = 0;
    qint64 shownCutChars_ = 0;
    bool shownTailOnly_ = false;
    bool tailAtEnd_ = false;
    LineEnds ends_;
    StampFormatter stamps_;
};
