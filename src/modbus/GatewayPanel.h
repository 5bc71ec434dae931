#pragma once

#include "modbus/RawLinks.h"

#include <QByteArray>
#include <QObject>

struct CommandLineControls;
struct FlashDiskControls;
struct GatewayControls;
struct LinkControls;
struct RtuControls;

// The two gateway panels, "Eth to MB" and "Modbus RTU": their mode boxes and the set-up command
// each sends to its intermediary board. The modes themselves are applied by the links' send and
// receive procedures, which read the boxes.
class GatewayPanel : public QObject {
    Q_OBJECT
public:
    // The set-up command for the intermediary board's port, written as it stands (never wrapped).
    static QByteArray initCommand() { return QByteArrayLiteral("UART 2,7\r\n"); }

    // `flashDisk` is greyed out while the Ethernet gateway is on; `link` gives Connect, which
    // reopens "Flash disk".
    GatewayPanel(GatewayControls& gateway, RtuControls& rtu, FlashDiskControls& flashDisk,
                 CommandLineControls& line, LinkControls& link, QObject* parent = nullptr);
    // Set by the window: where the set-up command goes.
    RawLinks links;
    // Run after the UDP link's own connections, so that Connect has opened "Flash disk" before
    // the gateway mode closes it again.
    void connectControls();

    void Check2_Click();
    void Check1_Click();
    void Command7_Click();
    void Command8_Click();

private:
    void keepFlashDiskClosed();

    GatewayControls& gateway_;
    RtuControls& rtu_;
    FlashDiskControls& flashDisk_;
    CommandLineControls& line_;
    LinkControls& link_;
};
