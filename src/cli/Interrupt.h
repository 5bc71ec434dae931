#pragma once

#include <QObject>

class QSocketNotifier;

// Ctrl+C (SIGINT) and SIGTERM, turned into an event on the main thread: the handler only
// writes the signal's number into a pipe, so a transfer stops between two steps, closes what
// it opened and reports, instead of dying half-way through a write.
class Interrupt : public QObject {
    Q_OBJECT
public:
    explicit Interrupt(QObject* parent = nullptr);
    ~Interrupt() override;

    // The signal that came, 0 while none has.
    int signalNumber() const { return signal_; }

signals:
    void raised();

private:
    void onPipe();

    QSocketNotifier* notifier_ = nullptr;
    int signal_ = 0;
};
