#pragma once

#include "core/LineEnds.h"

#include <QObject>
#include <QTimer>

class ConsoleModel;
class QPlainTextEdit;

// Brings the console widget up to date with its model a few times a second instead of once per
// chunk, so a flood of datagrams costs one repaint per interval. Line ends are shown as the
// board meant them: CR LF, a lone CR and a lone LF each end a line, also when a CR LF pair is
// split across two chunks.
class ConsoleView : public QObject {
    Q_OBJECT
public:
    static constexpr int IntervalMs = 30;

    ConsoleView(ConsoleModel* model, QPlainTextEdit* edit, QObject* parent = nullptr);

    // Catches up at once (tests, and before anything reads the widget).
    void sync();

private:
    ConsoleModel* model_;
    QPlainTextEdit* edit_;
    QTimer timer_;
    quint64 shownGeneration_ = 0;
    qsizetype shownBytes_ = 0;
    LineEnds ends_;
};
