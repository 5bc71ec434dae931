#pragma once

#include "modbus/RawLinks.h"

#include <QByteArray>
#include <QObject>

struct CommandLineControls;
struct GatewayControls;
struct RtuControls;

// The two gateway panels, "Eth to MB" and "Modbus RTU": the set-up command each sends to its
// intermediary board. The modes their boxes choose are applied by the link panels, which hand
// them to the session's link.
class GatewayPanel : public QObject {
    Q_OBJECT
public:
    // The set-up command for the intermediary board's port, written as it stands (never wrapped).
    static QByteArray initCommand() { return QByteArrayLiteral("UART 2,7\r\n"); }

    GatewayPanel(GatewayControls& gateway, RtuControls& rtu, CommandLineControls& line,
                 QObject* parent = nullptr);
    // Set by the window: where the set-up command goes.
    RawLinks links;
    void connectControls();

    void ethGatewayToggled();
    void rtuGatewayToggled();
    void initEthPort();
    void initUsbPort();

private:
    GatewayControls& gateway_;
    RtuControls& rtu_;
    CommandLineControls& line_;
};
