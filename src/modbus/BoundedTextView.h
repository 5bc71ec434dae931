#pragma once

#include "core/LineEnds.h"

#include <QObject>
#include <QTimer>

class BoundedText;
class QPlainTextEdit;

// Brings one MODBUS output box up to date with its model a few times a second, so a flood of
// chunks costs one repaint per interval instead of one per chunk. Only the new tail is added;
// after a cut or a clear the box is redrawn from the model. Every catch-up puts the caret at the
// end: these boxes always show their newest entry.
class BoundedTextView : public QObject {
    Q_OBJECT
public:
    static constexpr int IntervalMs = 30;

    BoundedTextView(BoundedText& model, QPlainTextEdit* edit, QObject* parent = nullptr);

    // Catches up at once (tests, and before anything reads the widget).
    void sync();

private:
    BoundedText& model_;
    QPlainTextEdit* edit_;
    QTimer timer_;
    quint64 shownGeneration_ = 0;
    qsizetype shownBytes_ = 0;
    LineEnds ends_;
};
