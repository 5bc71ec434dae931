#pragma once

#include <QObject>
#include <functional>

class ConsoleModel;
struct Controls;
struct TerminalState;

// Hands every received chunk to the transfer that is running, or to the console; forwards
// keys typed into the console to the command line; the console's Clear button.
class Router : public QObject {
    Q_OBJECT
public:
    Router(Controls& c, TerminalState& s, ConsoleModel& console, QObject* parent = nullptr);
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
    Controls& c_;
    TerminalState& s_;
    ConsoleModel& console_;
};
