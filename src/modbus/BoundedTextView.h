#pragma once

#include "core/LineEnds.h"

#include <QObject>
#include <QTimer>

class BoundedText;
class QPlainTextEdit;

// Brings one MODBUS output box up to date with its model a few times a second, so a flood of
// chunks costs one repaint per interval instead of one per chunk. Only the new tail is added,
// and what the model cut from its front is removed from the box's front: the box is never
// drawn again from the whole model (a large box took a quarter of a second to redraw). One
// catch-up adds at most CatchUpBytes and comes back for the rest at once, so a flood that
// refills the parser box faster than it can be laid out never freezes the window; the box then
// trails the model until the flood ends. A clear empties it. Every catch-up puts the caret at
// the end: these boxes show their newest entry.
class BoundedTextView : public QObject {
    Q_OBJECT
public:
    static constexpr int IntervalMs = 30;
    static constexpr qsizetype CatchUpBytes = 16 * 1024;       // about 4 ms of layout
    static constexpr qsizetype RemoveInPlaceChars = 64 * 1024; // about as long as a clear

    BoundedTextView(BoundedText& model, QPlainTextEdit* edit, QObject* parent = nullptr);

    // Catches up at once and whole (tests, and before anything reads the widget).
    void sync();

private:
    // Adds at most `limit` bytes of the model's tail; true when the box shows all of the model.
    bool catchUp(qsizetype limit);
    void removeCutFront();

    BoundedText& model_;
    QPlainTextEdit* edit_;
    QTimer timer_;
    quint64 shownGeneration_ = 0;
    // The model's bytes the box shows, counted as the model counts them (cutBytes on).
    qint64 shownFrom_ = 0;
    qint64 shownTo_ = 0;
    LineEnds ends_;
};
