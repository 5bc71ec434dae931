#include "link/SerialLink.h"

#include "console/ConsoleModel.h"
#include "core/Cp1251.h"
#include "core/TerminalState.h"
#include "form/Controls.h"
#include "form/Dialogs.h"
#include "form/Lamp.h"
#include "link/Gateway.h"
#include "link/PortChoice.h"
#include "link/SerialPort.h"

#include <QCheckBox>
#include <QCompleter>
#include <QEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QStringListModel>
#include <QTimer>
#include <array>
#include <cmath>

namespace {

// Option1 .. Option6, left to right.
const std::array<const char*, 6> lineSettings = {"1200,n,8,1", "2400,n,8,1",  "4800,n,8,1",
                                                 "9600,n,8,1", "19200,n,8,1", "115200,n,8,1"};

} // namespace

SerialLink::SerialLink(CommControls& comm, RtuControls& rtu, FlashDiskControls& flashDisk,
                       CommandLineControls& line, Dialogs& dialogs, TrafficState& traffic,
                       SerialState& state, ConsoleModel& console, QObject* parent)
    : QObject(parent), comm_(comm), rtu_(rtu), flashDisk_(flashDisk), line_(line),
      dialogs_(dialogs), traffic_(traffic), s_(state), console_(console) {
}

void SerialLink::connectControls() {
    // The Port box offers the ports present now, looked up again whenever it takes the focus
    // (an adapter may have been plugged in meanwhile); typing "COMn" or a path still works.
    portList_ = new QStringListModel(comm_.Comm_number);
    auto* completer = new QCompleter(portList_, comm_.Comm_number);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    comm_.Comm_number->setCompleter(completer);
    comm_.Comm_number->installEventFilter(this);
    comm_.TMRComm->setInterval(PollIntervalMs);
    connect(comm_.BTNOpenCom, &QPushButton::clicked, this, [this] { BTNOpenCom_Click(); });
    connect(comm_.TMRComm, &QTimer::timeout, this, [this] { TMRComm_Timer(); });
}

bool SerialLink::framedMode() const {
    return rtu_.Check1->isChecked() && !rtu_.Check3->isChecked();
}

bool SerialLink::eventFilter(QObject* watched, QEvent* event) {
    if (watched == comm_.Comm_number && event->type() == QEvent::FocusIn)
        portList_->setStringList(SerialPort::availablePorts());
    return QObject::eventFilter(watched, event);
}

void SerialLink::BTNOpenCom_Click() {
    line_.tbSendData->clear();
    if (udpConnected && udpConnected())
        return;
    if (s_.ComOpened != 1)
        openPort();
    else
        closePort();
}

void SerialLink::openPort() {
    SerialPort& port = *comm_.MSComm1;
    for (int i = 5; i >= 0; --i) {
        if (comm_.Option[i]->isChecked()) {
            if (const auto failed = port.setSettings(QString::fromLatin1(lineSettings[i])))
                return dialogs_.report(*failed);
            break;
        }
    }
    const QString name = comm_.Comm_number->text();
    if (name.startsWith(u'/')) {
        port.setPortPath(name);
    } else {
        const std::optional<int> number = PortChoice::commPortNumber(name);
        if (!number) {
            dialogs_.report({ErrorNumber::InvalidPortNumber,
                             QStringLiteral("Invalid port number: %1").arg(name)});
            return;
        }
        if (const auto failed = port.setCommPort(*number))
            return dialogs_.report(*failed);
    }
    if (const auto failed = port.open())
        return dialogs_.report(*failed);
    if (!port.isOpen())
        return;
    flashDisk_.Frame2->setEnabled(true);
    comm_.Pic->setVisible(true);
    setPortColor(true);
    comm_.TMRComm->start();
    comm_.BTNOpenCom->setText(QStringLiteral("Close"));
    s_.ComOpened = 1;
    setOptionsEnabled(false);
    rtu_.Frame5->setEnabled(true);
    line_.tbSendData->setFocus();
}

void SerialLink::closePort() {
    s_.ComOpened = 0;
    comm_.BTNOpenCom->setText(QStringLiteral("Open"));
    comm_.TMRComm->stop();
    comm_.MSComm1->close();
    setPortColor(false);
    comm_.Pic->setVisible(false);
    setOptionsEnabled(true);
    flashDisk_.Frame2->setEnabled(false);
    rtu_.Frame5->setEnabled(false);
}

void SerialLink::setPortColor(bool open) {
    if (open) {
        QPalette palette = comm_.Comm_number->palette();
        palette.setColor(QPalette::Base, openPortColor());
        comm_.Comm_number->setPalette(palette);
    } else {
        comm_.Comm_number->setPalette(QPalette()); // back to the system's colours
    }
}

void SerialLink::setOptionsEnabled(bool enabled) {
    for (QRadioButton* option : comm_.Option)
        option->setEnabled(enabled);
}

void SerialLink::blink() {
    if (++s_.BlinkTicks != BlinkEvery)
        return;
    s_.BlinkTicks = 1;
    comm_.Pic->setFillColor(comm_.Pic->fillColor() == blinkOnColor() ? blinkOffColor()
                                                                     : blinkOnColor());
}

void SerialLink::restartTimer() {
    comm_.TMRComm->stop();
    comm_.TMRComm->start();
}

void SerialLink::TMRComm_Timer() {
    traffic_.RxData.clear();
    s_.RtuCrcCalc.clear();
    s_.RtuCrcRecv.clear();
    blink();

    const Expected<qint64> waiting = comm_.MSComm1->bytesWaiting();
    if (!waiting)
        return; // the port failed; the tick ends quietly and the timer keeps running
    if (*waiting == 0) {
        if (++s_.RtuIdleTicks >= IdleTicksToDrop) {
            s_.RtuIdleTicks = IdleTicksToDrop;
            s_.RtuRxBuffer.clear(); // a partial frame followed by silence is dropped
        }
        return;
    }
    s_.RtuIdleTicks = 0;
    traffic_.RxData = comm_.MSComm1->readAll();
    comm_.Pic->setFillColor(receivedColor());
    // A log that could not be opened at start is skipped quietly, and one that cannot be
    // written costs the log, not the console: the chunk goes on and the failure is shown after
    // it, once per run of failures.
    const std::optional<Failure> logFailed = traffic_.LogFileNumber.append(traffic_.RxData);
    if (hexParser)
        hexParser();
    if (!framedMode()) {
        if (comParser)
            comParser();
    } else {
        cutFrames();
    }
    if (logFailed)
        dialogs_.report(*logFailed);
}

void SerialLink::cutFrames() {
    s_.RtuRxBuffer += traffic_.RxData;
    const int address = rtuAddress(rtu_.Text3->text());
    if (address < 0 || address > 255)
        return; // no address character can be formed: the tick ends here
    FrameCutter cutter(
        {s_.RtuRxBuffer, traffic_.RxData, s_.RtuDataLen, s_.RtuCrcCalc, s_.RtuCrcRecv},
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
                traffic_.RxData = action.bytes;
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
    SerialPort& port = *comm_.MSComm1;
    if (!port.isOpen())
        return 0;
    comm_.Pic->setFillColor(sentColor());
    if (comm_.TMRComm->isActive())
        restartTimer();
    if (rtu_.Check1->isChecked()) {
        const std::optional<QByteArray> wrapped =
            rtu_.Check3->isChecked() ? mdcLine(COMString, Cp1251::toBytes(rtu_.Text3->text()))
                                     : consoleTextFrame(rtuAddress(rtu_.Text3->text()), COMString);
        if (!wrapped)
            return 0;
        COMString = *wrapped;
    }
    if (!port.write(COMString))
        return 0;
    return static_cast<int>(COMString.size());
}
