#pragma once

#include "core/Failure.h"
#include "transfer/TransferAction.h"

#include <QByteArray>
#include <functional>
#include <optional>

class ConsoleModel;
class Dialogs;
class QFile;
class TextProgressBar;
struct CommandLineControls;
struct TrafficState;

// The window's link writers and link states as the transfer panels use them; the window sets
// them. Each writer sends only while its own link is open and may rewrite the text it is given.
struct TransferLinks {
    std::function<int(QByteArray&)> UDP_Send;
    std::function<int(QByteArray&)> WriteCOM32;
    std::function<bool()> udpOpen;    // the UDP socket is bound
    std::function<bool()> serialOpen; // the serial port is open

    bool anyOpen() const { return (udpOpen && udpOpen()) || (serialOpen && serialOpen()); }
};

// Carries a transfer's actions out on the window, in order: the links, the command line, the
// console, the log, the transfer's local file and the progress bar. Shared by the panels so
// every transfer writes, pauses and reports the same way.
class ActionRunner {
public:
    // `file` is the panel's local file; `bar` may be null for a panel without one.
    ActionRunner(const TransferLinks& links, CommandLineControls& line, ConsoleModel& console,
                 TrafficState& traffic, Dialogs& dialogs, QFile& file,
                 TextProgressBar* bar = nullptr)
        : links_(links), line_(line), console_(console), traffic_(traffic), dialogs_(dialogs),
          file_(file), bar_(bar) {}

    void run(const TransferActions& actions);

private:
    void appendFile(const QByteArray& bytes);

    const TransferLinks& links_;
    CommandLineControls& line_;
    ConsoleModel& console_;
    TrafficState& traffic_;
    Dialogs& dialogs_;
    QFile& file_;
    TextProgressBar* bar_;
    std::optional<Failure> fileFailed_;
};
