#pragma once

#include <QObject>
#include <functional>

class ConsoleModel;
struct CommandLineControls;
struct ConsoleControls;
struct TrafficState;
struct TransferState;

// Hands every received chunk to the transfer that is running, or to the console; forwards
// keys typed into the console to the command line; the console's Clear button.
class Router : public QObject {
    Q_OBJECT
public:
    Router(ConsoleControls& consoleControls, CommandLineControls& line, TrafficState& traffic,
           TransferState& transfers, ConsoleModel& console, QObject* parent = nullptr);
    void connectControls();

    // The transfers' reply parsers; each reads RxData. Unset ones are never called.
    std::function<void()> LOAD_BASIC_parser;
    std::function<void()> SEND_BASIC_parser;
    std::function<void()> SEND_FILES_parser;
    std::function<void()> LOAD_FILES_parser;

    void Com_Parser();
    void tbReceiveData_KeyPress(qint16 KeyAscii);
    void Command2_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ConsoleControls& c_;
    CommandLineControls& line_;
    TrafficState& traffic_;
    TransferState& s_;
    ConsoleModel& console_;
};
