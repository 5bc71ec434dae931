#pragma once

#include <QByteArray>
#include <functional>

class ConsoleModel;
struct CommandLineControls;
struct TrafficState;

// Sends the command line over the link that is up, logs it, echoes it and empties the line;
// and sends a line for a transfer, which does its own echo and logging.
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
    // Hands the bytes to UDP_Send and then to WriteCOM32, each with a copy of its own (a gateway
    // mode may rewrite it); each sends only when its link is open. No echo, no log, the command
    // line is left alone. Returns the characters handed to the links.
    int sendLine(const QByteArray& bytes);

private:
    CommandLineControls& line_;
    TrafficState& traffic_;
    ConsoleModel& console_;
};
