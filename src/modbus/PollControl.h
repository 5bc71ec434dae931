#pragma once

#include <QObject>
#include <functional>

class Dialogs;
class ModbusBuilderPanel;
class ModbusPoller;
class QPoint;
struct ModbusBuilderControls;

// Polling from the request builder: its context menu's "Poll every N ms" (and "Poll period"),
// or Ctrl+click on Send, sends the frame in the fields every N ms; Send again, Esc or the
// menu's "Stop polling" ends it.
class PollControl : public QObject {
    Q_OBJECT
public:
    static constexpr int Periods[] = {10, 20, 50, 100, 200, 500, 1000, 2000, 5000};

    PollControl(ModbusBuilderControls& builder, ModbusBuilderPanel& panel, ModbusPoller& poller,
                Dialogs& dialogs, QObject* parent = nullptr);
    void connectControls();

    void startPolling();
    void stopPolling();
    void setPeriod(int ms);
    int periodMs() const { return periodMs_; }

    // Told when polling starts (the trend window shows itself) and when the operator picks
    // another period (it is remembered).
    std::function<void()> pollingStarted;
    std::function<void(int ms)> periodChosen;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void popUp(QWidget* from, const QPoint& at);
    void showState();

    ModbusBuilderControls& c_;
    ModbusBuilderPanel& panel_;
    ModbusPoller& poller_;
    Dialogs& dialogs_;
    int periodMs_ = 1000;
    bool ctrlPressed_ = false; // the press that makes the coming click held Ctrl
};
