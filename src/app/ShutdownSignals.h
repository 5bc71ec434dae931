#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

// Runs the program's own shut-down when the session ends it with SIGTERM, SIGINT or SIGHUP, so
// the command buffer typed since start is saved as when the window is closed. The handler only
// writes a byte into a pipe; the shut-down itself runs on the window's thread.
class ShutdownSignals : public QObject {
    Q_OBJECT
public:
    explicit ShutdownSignals(std::function<void()> onSignal, QObject* parent = nullptr);
    ~ShutdownSignals() override;
    ShutdownSignals(const ShutdownSignals&) = delete;
    ShutdownSignals& operator=(const ShutdownSignals&) = delete;

private:
    std::function<void()> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};
