#pragma once

#include <QColor>
#include <QObject>

class BoardLink;
class ConsoleModel;
class Dialogs;
class QStringListModel;
struct CommControls;
struct CommandLineControls;
struct RtuControls;
struct Failure;

// The serial panel: the Open/Close button of the "Comm's" group with its speeds and port box,
// the activity lamp, and the "Modbus RTU" boxes that choose how lines are framed. The port,
// its poll and the framing are the session's link; this panel opens and closes it, shows what
// it does and tells the operator when the device goes away.
class SerialLink : public QObject {
    Q_OBJECT
public:
    static constexpr int BlinkEvery = 10; // polls between two blinks, counting from 1

    static QColor sentColor() { return QColor(0, 192, 0); }
    static QColor receivedColor() { return QColor(255, 0, 0); }
    static QColor blinkOnColor() { return QColor(255, 255, 255); }
    static QColor blinkOffColor() { return QColor(128, 128, 128); }
    static QColor openPortColor() { return QColor(0, 255, 0); }

    SerialLink(CommControls& comm, RtuControls& rtu, CommandLineControls& line, Dialogs& dialogs,
               BoardLink& board, ConsoleModel& console, QObject* parent = nullptr);

    // Connects openPortButton, the gateway boxes and the link's signals to the handlers below.
    void connectControls();

    void openCloseClicked();
    // The closing half of the Open/Close button; also run at shut-down.
    void closePort();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void openPort();
    void blink();
    void applyForm();
    void portLost(const Failure& why);
    void setPortColor(bool open);
    void setOptionsEnabled(bool enabled);

    CommControls& comm_;
    RtuControls& rtu_;
    CommandLineControls& line_;
    Dialogs& dialogs_;
    BoardLink& board_;
    ConsoleModel& console_;
    QStringListModel* portList_ = nullptr;
    int blinkTicks_ = 0; // never reset: the first blink comes on the 10th poll after start
};
