#pragma once

#include <QByteArray>
#include <functional>

class ConsoleModel;
struct CommandLineControls;
struct TrafficState;

// Sends the command line over the link that is up, logs it, echoes it and empties the line.
class SendPath {
public:
    SendPath(CommandLineControls& line, TrafficState& traffic, ConsoleModel& console)
        : line_(line), traffic_(traffic), console_(console) {}

    // Set by the window: which link is up, and the two link writers.
    std::function<bool()> serialOpen;
    std::function<bool()> udpConnected;
    std::function<int(QByteArray&)> WriteCOM32;
    std::function<int(QByteArray&)> UDP_Send;

    void Send_To_Device();

private:
    CommandLineControls& line_;
    TrafficState& traffic_;
    ConsoleModel& console_;
};
