#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

class ConsoleModel;
struct CommandLineControls;
struct ConsoleControls;
struct TrafficState;

// Every piece of board text on its way to the running transfer or to the console; the keys
// typed into the console, forwarded to the command line; the console's Clear button.
class Router : public QObject {
    Q_OBJECT
public:
    Router(ConsoleControls& consoleControls, CommandLineControls& line, TrafficState& traffic,
           ConsoleModel& console, QObject* parent = nullptr);
    void connectControls();

    // The session's transfers: they take the text while one runs and hand the rest back to the
    // console. Unset, all text goes to the console.
    std::function<void(const QByteArray& text, const QString& otherSender)> toTransfers;

    // The console is cut back first, whoever takes the text: its bound holds in every mode.
    void routeBoardText(const QByteArray& text, const QString& otherSender = QString());
    // Below this character code a key is a control key: it only moves to the command line.
    static constexpr qint16 FirstPrintable = 33;
    void onConsoleKey(qint16 key);
    void clearConsole();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ConsoleControls& c_;
    CommandLineControls& line_;
    TrafficState& traffic_;
    ConsoleModel& console_;
};
