#pragma once

#include "core/LineEnds.h"

#include <QObject>
#include <QTimer>

class BoundedText;
class QPlainTextEdit;

// Brings one MODBUS output box up to date with its model a few times a second, so a flood of
// chunks costs one repaint per interval instead of one per chunk. Only the new tail is added,
// and what the model cut from its front is removed from the box's front: the box is never
// drawn again from the whole model (a large box took a quarter of a second to redraw). A clear
// empties it. Every catch-up puts the caret at the end: these boxes show their newest entry.
class BoundedTextView : public QObject {
    Q_OBJECT
public:
    static constexpr int IntervalMs = 30;

    BoundedTextView(BoundedText& model, QPlainTextEdit* edit, QObject* parent = nullptr);

    // Catches up at once (tests, and before anything reads the widget).
    void sync();

private:
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
