#pragma once

#include <QObject>
#include <initializer_list>

class QSocketNotifier;

// Signals such as SIGTERM and SIGINT turned into an event on the main thread. The handler only
// writes the signal's number into a pipe, so whatever runs when it comes (a transfer between
// two steps, a write to a file) finishes, and the program ends its own way: closing what it
// opened, saving what it keeps. One watcher at a time; the handler can reach only globals.
class SignalPipe : public QObject {
    Q_OBJECT
public:
    explicit SignalPipe(std::initializer_list<int> watched, QObject* parent = nullptr);
    ~SignalPipe() override;
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;

    // The first signal that came, 0 while none has.
    int signalNumber() const { return first_; }
    // Reads what the handler wrote. The notifier calls it from the event loop; a program about
    // to end calls it itself, so a signal that came after the last loop still counts.
    void drain();

signals:
    void raised(int signalNumber);

private:
    QSocketNotifier* notifier_ = nullptr;
    QList<int> watched_;
    int first_ = 0;
};
