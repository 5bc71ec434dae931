#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

class Dialogs;
class ModbusPoller;
class QWidget;
class TrendModel;
struct TrendControls;

// The "MODBUS trend" window: the plot of a polling run, its counts, Stop, Export CSV and Clear.
// It redraws a few times a second when something was added, never once per reply: a poll at
// 10 ms would otherwise repaint a hundred times a second.
class TrendWindow : public QObject {
    Q_OBJECT
public:
    static constexpr int RefreshMs = 200;

    TrendWindow(TrendControls& trend, TrendModel& model, ModbusPoller& poller, Dialogs& dialogs,
                QObject* parent = nullptr);
    // Builds the window's controls as a window of its own over `owner`.
    static void build(QWidget* owner, TrendControls& trend, const TrendModel& model);
    void connectControls();

    void show();
    // Catches up at once (tests, and before anything reads the widgets).
    void refresh();
    void exportCsv();

    std::function<void()> stopPolling;

private:
    TrendControls& c_;
    TrendModel& model_;
    ModbusPoller& poller_;
    Dialogs& dialogs_;
    QTimer timer_;
    quint64 shownRevision_ = ~quint64(0);
};
