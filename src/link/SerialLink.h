#pragma once

#include <QByteArray>
#include <QColor>
#include <QObject>
#include <functional>

class ConsoleModel;
class QStringListModel;
class Dialogs;
struct CommControls;
struct CommandLineControls;
struct FlashDiskControls;
struct RtuControls;
struct SerialState;
struct TrafficState;

// The serial link: the Open/Close button of the "Comm's" group, the 20 ms polling timer that
// turns received bytes into chunks (cutting console-text frames in the framed MODBUS mode), and
// the one procedure that writes to the port. Opening and closing also switch the "Modbus RTU"
// and "Flash disk" panels; the gateway boxes of "Modbus RTU" choose how lines are framed.
class SerialLink : public QObject {
    Q_OBJECT
public:
    static constexpr int PollIntervalMs = 20;
    static constexpr int BlinkEvery = 10;
    static constexpr int IdleTicksToDrop = 5;

    static QColor sentColor() { return QColor(0, 192, 0); }
    static QColor receivedColor() { return QColor(255, 0, 0); }
    static QColor blinkOnColor() { return QColor(255, 255, 255); }
    static QColor blinkOffColor() { return QColor(128, 128, 128); }
    static QColor openPortColor() { return QColor(0, 255, 0); }

    SerialLink(CommControls& comm, RtuControls& rtu, FlashDiskControls& flashDisk,
               CommandLineControls& line, Dialogs& dialogs, TrafficState& traffic,
               SerialState& state, ConsoleModel& console, QObject* parent = nullptr);

    // Set by the window. Both read the chunk from RxData: the hex monitor sees every raw chunk,
    // the receive router the chunk or, in framed mode, each frame's payload.
    std::function<void()> hexParser;
    std::function<void()> comParser;
    // Whether the UDP link is up: the port then stays closed.
    std::function<bool()> udpConnected;

    // Sets the timer's interval and connects BTNOpenCom and TMRComm to the handlers below.
    void connectControls();

    void BTNOpenCom_Click();
    void TMRComm_Timer();
    // Writes a line (ending in CR LF) to the port, framed or wrapped for the MODBUS modes.
    // Returns the bytes written, 0 when the port is closed or the line could not be sent; on
    // return COMString holds the bytes as written.
    int WriteCOM32(QByteArray& COMString);
    // The closing half of the Open/Close button; also run at shut-down.
    void closePort();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool framedMode() const;
    void openPort();
    void blink();
    void cutFrames();
    void restartTimer();
    void setPortColor(bool open);
    void setOptionsEnabled(bool enabled);

    CommControls& comm_;
    RtuControls& rtu_;
    FlashDiskControls& flashDisk_;
    CommandLineControls& line_;
    Dialogs& dialogs_;
    TrafficState& traffic_;
    SerialState& s_;
    ConsoleModel& console_;
    QStringListModel* portList_ = nullptr;
};
