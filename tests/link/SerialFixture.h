#pragma once

#include "app/Controls.h"
#include "app/Dialogs.h"
#include "app/Lamp.h"
#include "app/TerminalState.h"
#include "console/ConsoleModel.h"
#include "link/SerialLink.h"
#include "link/SerialPort.h"
#include "link/UdpSocket.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QList>
#include <QPair>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <memory>

// Answers every dialog without a screen and remembers the error boxes it was asked to show.
class ScriptedDialogs : public Dialogs {
public:
    QList<QPair<int, QString>> errors;
    void errorBox(int number, const QString& description) override {
        errors.append({number, description});
    }
    void message(const QString&, const QString&) override {}
    QString openFile(const QString&, const QString&) override { return {}; }
    QString saveFile(const QString&, const QString&) override { return {}; }
};

// The controls the serial link touches, laid out as the window has them, with the defaults the
// window starts with: "COM3", 115200 baud selected, address "16", panels disabled, lamp hidden.
struct SerialFixture {
    QWidget root;
    Controls c;
    TerminalState state;
    ConsoleModel console;
    ScriptedDialogs dialogs;
    SerialPort port;
    UdpSocket udp;
    QTimer timer;
    std::unique_ptr<SerialLink> link;
    // Names of the hooks in the order they ran, and RxData as the router saw it.
    QStringList calls;
    QByteArrayList routed;

    SerialFixture() {
        c.Frame2 = new QGroupBox(&root);
        c.Frame4 = new QGroupBox(&root);
        c.Frame5 = new QGroupBox(&root);
        for (QRadioButton*& option : c.Option)
            option = new QRadioButton(c.Frame4);
        c.Option[5]->setChecked(true);
        c.Comm_number = new QLineEdit(QStringLiteral("COM3"), c.Frame4);
        c.BTNOpenCom = new QPushButton(QStringLiteral("Open"), c.Frame4);
        c.Pic = new Lamp(c.Frame4);
        c.Pic->setVisible(false);
        c.Check1 = new QCheckBox(c.Frame5);
        c.Check3 = new QCheckBox(c.Frame5);
        c.Text3 = new QLineEdit(QStringLiteral("16"), c.Frame5);
        c.tbSendData = new QLineEdit(&root);
        c.Frame2->setEnabled(false);
        c.Frame5->setEnabled(false);
        c.TMRComm = &timer;
        c.MSComm1 = &port;
        c.Winsock1 = &udp;
        c.CommonDialog1 = &dialogs;
        state.LogFileNumber.open();

        link = std::make_unique<SerialLink>(c, state, console);
        link->hexParser = [this] {
            calls << QStringLiteral("hex");
        };
        link->comParser = [this] {
            calls << QStringLiteral("com");
            routed << state.RxData;
        };
        link->connectControls();
    }

    bool open(const QString& path, int option = 5) {
        c.Comm_number->setText(path);
        c.Option[option]->setChecked(true);
        link->BTNOpenCom_Click();
        return state.ComOpened == 1 && port.isOpen();
    }

    // Ticks until the router or the hex monitor has seen `bytes` in total, as the timer would.
    QByteArray tickUntil(qsizetype bytes, int maxTicks = 100) {
        QByteArray seen;
        for (int i = 0; i < maxTicks && seen.size() < bytes; ++i) {
            link->TMRComm_Timer();
            seen += state.RxData;
            if (seen.size() < bytes)
                QThread::msleep(2);
        }
        return seen;
    }
};
