#pragma once

#include "core/Failure.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <functional>

class Dialogs;
struct CommandLineControls;
struct FlashDiskControls;
struct GatewayControls;
struct LinkControls;
struct TrafficState;

// Connect and Disconnect of the UDP link, the receive handler, and UDP_Send. Connect also opens
// the "Eth to MB" and "Flash disk" panels, and UDP_Send reads the Ethernet gateway's settings.
class UdpLink : public QObject {
    Q_OBJECT
public:
    UdpLink(LinkControls& link, GatewayControls& gateway, FlashDiskControls& flashDisk,
            CommandLineControls& line, Dialogs& dialogs, TrafficState& s,
            QObject* parent = nullptr);
    void connectControls();

    // The hex monitor and the router, run in that order for every datagram (they read RxData).
    std::function<void()> hexParser;
    std::function<void()> comParser;
    // Whether the serial port is open: both buttons then only empty the command line.
    std::function<bool()> serialOpen;

    void cbBind_Click();
    void Command1_Click();
    // Reads every datagram waiting; each one is a chunk of its own.
    void Winsock1_DataArrival();
    // Sends the text as one datagram (as an "MDC" line in the Ethernet gateway mode, which is
    // written back into UDPString). Returns the characters sent, 0 when nothing was sent.
    int UDP_Send(QByteArray& UDPString);

private:
    // Longest stretch the receive handler reads before letting other events run.
    static constexpr qint64 SliceMs = 10;
    static constexpr int KeepReadingMs = 100;

    void receiveOne(qint64 size);
    void reportFailure(const Failure& failure);
    bool serialIsOpen() const { return serialOpen && serialOpen(); }

    LinkControls& link_;
    GatewayControls& gateway_;
    FlashDiskControls& flashDisk_;
    CommandLineControls& line_;
    Dialogs& dialogs_;
    TrafficState& s_;
    bool errorBoxOpen_ = false;
    bool resumeQueued_ = false;
    QTimer keepReading_;
};
