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

// speedOptions[0] .. speedOptions[5], left to right.
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
    portList_ = new QStringListModel(comm_.portEdit);
    auto* completer = new QCompleter(portList_, comm_.portEdit);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    comm_.portEdit->setCompleter(completer);
    comm_.portEdit->installEventFilter(this);
    connect(comm_.openPortButton, &QPushButton::clicked, this, [this] { openCloseClicked(); });

    connect(&board_, &BoardLink::polled, this, &SerialLink::blink);
    connect(&board_, &BoardLink::received, this, [this](const QByteArray&, Channel from) {
        if (from == Channel::Serial)
            comm_.activityLamp->setFillColor(receivedColor());
    });
    connect(&board_, &BoardLink::wroteSerial, this,
            [this] { comm_.activityLamp->setFillColor(sentColor()); });
    // Error lines of the framed receive leave the console's caret where it is.
    connect(&board_, &BoardLink::frameError, this, [this](const QByteArray& message) {
        console_.append(message, false, ConsoleModel::Source::Terminal);
    });
    connect(&board_, &BoardLink::lost, this, &SerialLink::portLost);

    connect(rtu_.rtuGatewayCheck, &QCheckBox::toggled, this, &SerialLink::applyForm);
    connect(rtu_.viaUsbCheck, &QCheckBox::toggled, this, &SerialLink::applyForm);
    connect(rtu_.rtuAddressEdit, &QLineEdit::textChanged, this, &SerialLink::applyForm);
    applyForm();
}

void SerialLink::applyForm() {
    const SerialForm form = !rtu_.rtuGatewayCheck->isChecked() ? SerialForm::Plain
                            : rtu_.viaUsbCheck->isChecked()    ? SerialForm::Mdc
                                                               : SerialForm::Framed;
    board_.setSerialForm(form, rtu_.rtuAddressEdit->text());
}

bool SerialLink::eventFilter(QObject* watched, QEvent* event) {
    if (watched == comm_.portEdit && event->type() == QEvent::FocusIn)
        portList_->setStringList(SerialPort::availablePorts());
    return QObject::eventFilter(watched, event);
}

void SerialLink::openCloseClicked() {
    line_.commandEdit->clear();
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
        if (comm_.speedOptions[i]->isChecked())
            settings = QString::fromLatin1(lineSettings[i]);
    }
    if (const auto failed = board_.openSerial(settings, comm_.portEdit->text()))
        return dialogs_.report(*failed);
    comm_.activityLamp->setVisible(true);
    setPortColor(true);
    comm_.openPortButton->setText(QStringLiteral("Close"));
    setOptionsEnabled(false);
    rtu_.rtuFrame->setEnabled(true);
    line_.commandEdit->setFocus();
}

void SerialLink::closePort() {
    comm_.openPortButton->setText(QStringLiteral("Open"));
    board_.closeSerial();
    setPortColor(false);
    comm_.activityLamp->setVisible(false);
    setOptionsEnabled(true);
    rtu_.rtuFrame->setEnabled(false);
}

void SerialLink::portLost(const Failure& why) {
    // Told once; the panel stays as it was, so Close and Open again take the port back.
    dialogs_.report(why);
}

void SerialLink::setPortColor(bool open) {
    if (open) {
        QPalette palette = comm_.portEdit->palette();
        palette.setColor(QPalette::Base, openPortColor());
        comm_.portEdit->setPalette(palette);
    } else {
        comm_.portEdit->setPalette(QPalette()); // back to the system's colours
    }
}

void SerialLink::setOptionsEnabled(bool enabled) {
    for (QRadioButton* option : comm_.speedOptions)
        option->setEnabled(enabled);
}

void SerialLink::blink() {
    if (++blinkTicks_ != BlinkEvery)
        return;
    blinkTicks_ = 1;
    comm_.activityLamp->setFillColor(
        comm_.activityLamp->fillColor() == blinkOnColor() ? blinkOffColor() : blinkOnColor());
}
