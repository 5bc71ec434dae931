#pragma once

#include <QByteArray>
#include <functional>

class ConsoleModel;
struct Controls;
struct TerminalState;

// Sends the command line over the link that is up, logs it, echoes it and empties the line.
class SendPath {
public:
    SendPath(Controls& c, TerminalState& s, ConsoleModel& console)
        : c_(c), s_(s), console_(console) {}

    std::function<bool()> serialOpen;
    std::function<int(QByteArray&)> WriteCOM32;
    std::function<int(QByteArray&)> UDP_Send;

    void Send_To_Device();

private:
    Controls& c_;
    TerminalState& s_;
    ConsoleModel& console_;
};
