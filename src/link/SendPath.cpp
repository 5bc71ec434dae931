#include "link/SendPath.h"

#include "console/ConsoleModel.h"
#include "core/Cp1251.h"
#include "core/TerminalState.h"
#include "form/Controls.h"

#include <QLineEdit>

void SendPath::Send_To_Device() {
    const QByteArray line = Cp1251::toBytes(line_.tbSendData->text());
    if (serialOpen && serialOpen() && WriteCOM32) {
        QByteArray text = line + "\r\n"; // rewritten by the gateway modes; a fresh copy each
        WriteCOM32(text);
    }
    if (udpConnected && udpConnected() && UDP_Send) {
        QByteArray text = line + "\r\n";
        UDP_Send(text);
    }
    // With the log closed (start-up could not open it) the line is simply not logged.
    traffic_.LogFileNumber.append(line + "\r\n");
    console_.append("\r\n" + line);
    line_.tbSendData->clear();
    line_.tbSendData->setFocus();
}
