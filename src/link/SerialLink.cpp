#include "link/SerialLink.h"

#include "app/Controls.h"
#include "app/Cp1251.h"
#include "app/Dialogs.h"
#include "app/Lamp.h"
#include "app/TerminalState.h"
#include "console/ConsoleModel.h"
#include "link/Gateway.h"
#include "link/SerialPort.h"
#include "link/UdpSocket.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <array>
#include <cmath>

namespace {

// Option1 .. Option6, left to right.
const std::array<const char*, 6> lineSettings = {"1200,n,8,1", "2400,n,8,1",  "4800,n,8,1",
                                                 "9600,n,8,1", "19200,n,8,1", "115200,n,8,1"};

// The port number is the whole number after "COM"; the text must hold nothing else but blanks.
bool portNumberFrom(const QString& commNumber, int& number) {
    bool ok = false;
    const double value = commNumber.mid(3).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > 32767.0)
        return false;
    number = static_cast<int>(std::nearbyint(value));
    return true;
}

} // namespace

SerialLink::SerialLink(Controls& controls, TerminalState& state, ConsoleModel& console,
                       QObject* parent)
    : QObject(parent), c_(controls), s_(state), console_(console) {
}

void SerialLink::connectControls() {
    c_.TMRComm->setInterval(PollIntervalMs);
    connect(c_.BTNOpenCom, &QPushButton::clicked, this, [this] { BTNOpenCom_Click(); });
    connect(c_.TMRComm, &QTimer::timeout, this, [this] { TMRComm_Timer(); });
}

bool SerialLink::udpConnected() const {
    return c_.Winsock1 != nullptr && c_.Winsock1->state() == UdpSocket::StateOpen;
}

bool SerialLink::framedMode() const {
    return c_.Check1->isChecked() && !c_.Check3->isChecked();
}

void SerialLink::BTNOpenCom_Click() {
    c_.tbSendData->clear();
    if (udpConnected())
        return;
    if (s_.ComOpened != 1)
        openPort();
    else
        closePort();
}

void SerialLink::openPort() {
    SerialPort& port = *c_.MSComm1;
    for (int i = 5; i >= 0; --i) {
        if (c_.Option[i]->isChecked()) {
            if (!port.setSettings(QString::fromLatin1(lineSettings[i])))
                return showError();
            break;
        }
    }
    const QString name = c_.Comm_number->text();
    if (name.startsWith(u'/')) {
        port.setPortPath(name);
    } else {
        int number = 0;
        if (!portNumberFrom(name, number)) {
            c_.CommonDialog1->errorBox(ErrorNumber::InvalidPortNumber,
                                       QStringLiteral("Invalid port number: %1").arg(name));
            return;
        }
        if (!port.setCommPort(number))
            return showError();
    }
    if (!port.open())
        return showError();
    if (!port.isOpen())
        return;
    c_.Frame2->setEnabled(true);
    c_.Pic->setVisible(true);
    setPortColor(true);
    c_.TMRComm->start();
    c_.BTNOpenCom->setText(QStringLiteral("Close"));
    s_.ComOpened = 1;
    setOptionsEnabled(false);
    c_.Frame5->setEnabled(true);
    c_.tbSendData->setFocus();
}

void SerialLink::closePort() {
    s_.ComOpened = 0;
    c_.BTNOpenCom->setText(QStringLiteral("Open"));
    c_.TMRComm->stop();
    if (!c_.MSComm1->close())
        return showError();
    setPortColor(false);
    c_.Pic->setVisible(false);
    setOptionsEnabled(true);
    c_.Frame2->setEnabled(false);
    c_.Frame5->setEnabled(false);
}

void SerialLink::showError() {
    c_.CommonDialog1->errorBox(c_.MSComm1->errorNumber(), c_.MSComm1->errorDescription());
}

void SerialLink::setPortColor(bool open) {
    if (open) {
        QPalette palette = c_.Comm_number->palette();
        palette.setColor(QPalette::Base, openPortColor());
        c_.Comm_number->setPalette(palette);
    } else {
        c_.Comm_number->setPalette(QPalette()); // back to the system's colours
    }
}

void SerialLink::setOptionsEnabled(bool enabled) {
    for (QRadioButton* option : c_.Option)
        option->setEnabled(enabled);
}

void SerialLink::blink() {
    if (++s_.BlinkTicks != BlinkEvery)
        return;
    s_.BlinkTicks = 1;
    c_.Pic->setFillColor(c_.Pic->fillColor() == blinkOnColor() ? blinkOffColor() : blinkOnColor());
}

void SerialLink::restartTimer() {
    c_.TMRComm->stop();
    c_.TMRComm->start();
}

void SerialLink::TMRComm_Timer() {
    s_.RxData.clear();
    s_.RtuCrcCalc.clear();
    s_.RtuCrcRecv.clear();
    blink();

    const qint64 waiting = c_.MSComm1->bytesWaiting();
    if (waiting < 0)
        return; // the port failed; the tick ends quietly and the timer keeps running
    if (waiting == 0) {
        if (++s_.RtuIdleTicks >= IdleTicksToDrop) {
            s_.RtuIdleTicks = IdleTicksToDrop;
            s_.RtuRxBuffer.clear(); // a partial frame followed by silence is dropped
        }
        return;
    }
    s_.RtuIdleTicks = 0;
    s_.RxData = c_.MSComm1->readAll();
    c_.Pic->setFillColor(receivedColor());
    if (!s_.LogFileNumber.append(s_.RxData))
        return;
    if (hexParser)
        hexParser();
    if (!framedMode()) {
        if (comParser)
            comParser();
        return;
    }
    cutFrames();
}

void SerialLink::cutFrames() {
    s_.RtuRxBuffer += s_.RxData;
    const int address = rtuAddress(c_.Text3->text());
    if (address < 0 || address > 255)
        return; // no address character can be formed: the tick ends here
    FrameCutter cutter({s_.RtuRxBuffer, s_.RxData, s_.RtuDataLen, s_.RtuCrcCalc, s_.RtuCrcRecv},
                       static_cast<quint8>(address));
    // One pass at a time: the router may send a reply, which empties the buffer and so ends
    // the loop.
    do {
        QList<CutAction> actions;
        const FrameCutter::Stop stop = cutter.pass(actions);
        for (const CutAction& action : actions) {
            if (action.kind == CutAction::Kind::Console) {
                console_.append(action.bytes, false); // error lines leave the caret alone
            } else {
                s_.RxData = action.bytes;
                if (comParser)
                    comParser();
            }
        }
        if (stop == FrameCutter::Stop::Waiting)
            return;
    } while (!s_.RtuRxBuffer.isEmpty());
    restartTimer();
}

int SerialLink::WriteCOM32(QByteArray& COMString) {
    s_.RtuRxBuffer.clear();
    SerialPort& port = *c_.MSComm1;
    if (!port.isOpen())
        return 0;
    c_.Pic->setFillColor(sentColor());
    if (c_.TMRComm->isActive())
        restartTimer();
    if (c_.Check1->isChecked()) {
        const std::optional<QByteArray> wrapped =
            c_.Check3->isChecked() ? mdcLine(COMString, Cp1251::toBytes(c_.Text3->text()))
                                   : consoleTextFrame(rtuAddress(c_.Text3->text()), COMString);
        if (!wrapped)
            return 0;
        COMString = *wrapped;
    }
    if (port.write(COMString) < 0)
        return 0;
    return static_cast<int>(COMString.size());
}
