#include "link/SendPath.h"

#include "app/Controls.h"
#include "app/Cp1251.h"
#include "app/TerminalState.h"
#include "console/ConsoleModel.h"

#include <QLineEdit>
#include <QPushButton>

void SendPath::Send_To_Device() {
    const QByteArray line = Cp1251::toBytes(c_.tbSendData->text());
    if (serialOpen && serialOpen() && WriteCOM32) {
        QByteArray text = line + "\r\n"; // rewritten by the gateway modes; a fresh copy each
        WriteCOM32(text);
    }
    if (!c_.cbBind->isEnabled() && UDP_Send) {
        QByteArray text = line + "\r\n";
        UDP_Send(text);
    }
    // With the log closed (start-up could not open it) the line is simply not logged.
    s_.LogFileNumber.append(line + "\r\n");
    console_.append("\r\n" + line);
    c_.tbSendData->clear();
    c_.tbSendData->setFocus();
}
