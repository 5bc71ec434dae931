#include "link/SerialLink.h"

#include "console/ConsoleModel.h"
#include "form/Controls.h"
#include "form/Dialogs.h"
#include "form/Lamp.h"
#include "link/BoardLink.h"
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
#include <array>

namespace {

// Option1 .. Option6, left to right.
const std::array<const char*, 6> lineSettings = {"1200,n,8,1", "2400,n,8,1",  "4800,n,8,1",
                                                 "9600,n,8,1", "19200,n,8,1", "115200,n,8,1"};

} // namespace

SerialLink::SerialLink(CommControls& comm, RtuControls& rtu, CommandLineControls& line,
                       Dialogs& dialogs, BoardLink& board, ConsoleModel& console, QObject* parent)
    : QObject(parent), comm_(comm), rtu_(rtu), line_(line), dialogs_(dialogs), board_(board),
      console_(console) {
}

void SerialLink::connectControls() {
    // The Port box offers the ports present now, looked up again whenever it takes the focus
    // (an adapter may have been plugged in meanwhile); typing "COMn" or a path still works.
    portList_ = new QStringListModel(comm_.Comm_number);
    auto* completer = new QCompleter(portList_, comm_.Comm_number);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    comm_.Comm_number->setCompleter(completer);
    comm_.Comm_number->installEventFilter(this);
    connect(comm_.BTNOpenCom, &QPushButton::clicked, this, [this] { BTNOpenCom_Click(); });

    connect(&board_, &BoardLink::polled, this, &SerialLink::blink);
    connect(&board_, &BoardLink::received, this, [this](const QByteArray&, Channel from) {
        if (from == Channel::Serial)
            comm_.Pic->setFillColor(receivedColor());
    });
    connect(&board_, &BoardLink::wroteSerial, this,
            [this] { comm_.Pic->setFillColor(sentColor()); });
    // Error lines of the framed receive leave the console's caret where it is.
    connect(&board_, &BoardLink::frameError, this,
            [this](const QByteArray& message) { console_.append(message, false); });
    connect(&board_, &BoardLink::lost, this, &SerialLink::portLost);

    connect(rtu_.Check1, &QCheckBox::toggled, this, &SerialLink::applyForm);
    connect(rtu_.Check3, &QCheckBox::toggled, this, &SerialLink::applyForm);
    connect(rtu_.Text3, &QLineEdit::textChanged, this, &SerialLink::applyForm);
    applyForm();
}

void SerialLink::applyForm() {
    const SerialForm form = !rtu_.Check1->isChecked()  ? SerialForm::Plain
                            : rtu_.Check3->isChecked() ? SerialForm::Mdc
                                                       : SerialForm::Framed;
    board_.setSerialForm(form, rtu_.Text3->text());
}

bool SerialLink::eventFilter(QObject* watched, QEvent* event) {
    if (watched == comm_.Comm_number && event->type() == QEvent::FocusIn)
        portList_->setStringList(SerialPort::availablePorts());
    return QObject::eventFilter(watched, event);
}

void SerialLink::BTNOpenCom_Click() {
    line_.tbSendData->clear();
    if (board_.udpOpen())
        return;
    if (!board_.serialOpen())
        openPort();
    else
        closePort();
}

void SerialLink::openPort() {
    QString settings;
    for (int i = 5; i >= 0 && settings.isEmpty(); --i) {
        if (comm_.Option[i]->isChecked())
            settings = QString::fromLatin1(lineSettings[i]);
    }
    if (const auto failed = board_.openSerial(settings, comm_.Comm_number->text()))
        return dialogs_.report(*failed);
    comm_.Pic->setVisible(true);
    setPortColor(true);
    comm_.BTNOpenCom->setText(QStringLiteral("Close"));
    setOptionsEnabled(false);
    rtu_.Frame5->setEnabled(true);
    line_.tbSendData->setFocus();
}

void SerialLink::closePort() {
    comm_.BTNOpenCom->setText(QStringLiteral("Open"));
    board_.closeSerial();
    setPortColor(false);
    comm_.Pic->setVisible(false);
    setOptionsEnabled(true);
    rtu_.Frame5->setEnabled(false);
}

void SerialLink::portLost(const Failure& why) {
    // Told once; the panel stays as it was, so Close and Open again take the port back.
    dialogs_.report(why);
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
    if (++blinkTicks_ != BlinkEvery)
        return;
    blinkTicks_ = 1;
    comm_.Pic->setFillColor(comm_.Pic->fillColor() == blinkOnColor() ? blinkOffColor()
                                                                     : blinkOnColor());
}
