// The terminal column: link and transfer panels, the console and the command line.
#include "form/Columns.h"

#include "form/Controls.h"
#include "form/Lamp.h"
#include "form/TextProgressBar.h"
#include "form/Twips.h"
#include "form/WidgetFactory.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::StringLiterals;

namespace {

QPixmap connectionPicture(bool up) {
    const int size = Twips::toPixels(255);
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(up ? QColor(0, 192, 0) : QColor(200, 0, 0));
    p.drawEllipse(QRectF(1, 1, size - 2, size - 2));
    p.setPen(QPen(Qt::white, 2));
    if (up) {
        p.drawLine(QPointF(size * 0.28, size * 0.52), QPointF(size * 0.45, size * 0.7));
        p.drawLine(QPointF(size * 0.45, size * 0.7), QPointF(size * 0.74, size * 0.3));
    } else {
        p.drawLine(QPointF(size * 0.3, size * 0.3), QPointF(size * 0.7, size * 0.7));
        p.drawLine(QPointF(size * 0.7, size * 0.3), QPointF(size * 0.3, size * 0.7));
    }
    return pm;
}

void buildLink(QWidget* w, Controls& c) {
    auto* f = c.linkFrame = Make::frame(w, "Frame1", "Link", 0, 0, 3810, 855);
    c.portAndHostLabels[1] = Make::label(f, "Label1(1)", " Host", 60, 255, 480, 255);
    c.hostCombo = new QComboBox(f);
    c.hostCombo->setObjectName("ComboRemoteIP");
    c.hostCombo->setEditable(true);
    c.hostCombo->setInsertPolicy(QComboBox::NoInsert);
    c.hostCombo->setGeometry(Twips::rect(540, 210, 1620, 315));
    c.hostCombo->setAccessibleName("Host");
    c.portAndHostLabels[1]->setBuddy(c.hostCombo);
    c.addHostButton = Make::button(f, "Add_ip", "Add", 2200, 210, 510, 315);
    c.deleteHostButton = Make::button(f, "Del_ip", "Del", 2730, 210, 510, 315);
    c.saveHostsButton = Make::button(f, "SaveIP", "Save", 3260, 210, 500, 315);
    c.connectButton = Make::button(f, "cbBind", "Connect", 540, 555, 1200, 270);
    c.disconnectButton = Make::button(f, "Command1", "Disconnect", 1770, 555, 1200, 270);
    c.disconnectedMark = Make::label(f, "NoConnect", {}, 120, 555, 255, 255);
    c.disconnectedMark->setPixmap(connectionPicture(false));
    c.disconnectedMark->setAccessibleName("Not connected");
    c.connectedMark = Make::label(f, "YesConnect", {}, 120, 555, 255, 255);
    c.connectedMark->setPixmap(connectionPicture(true));
    c.connectedMark->setAccessibleName("Connected");
    c.connectedMark->hide();
}

void buildFlashDisk(QWidget* w, Controls& c) {
    auto* f = c.flashDiskFrame = Make::frame(w, "Frame2", "Flash disk", 3840, 0, 2955, 855,
                                             u"Работа с флеш диском контроллера"_s);
    c.boardFileLabel = Make::label(f, "Label7", "File name:", 75, 240, 855, 255);
    c.boardFileEdit = Make::edit(f, "Text2", "SAMPLE.TXT", 930, 210, 1950, 300,
                                 "File name:", u"Имя файла в контроллере"_s);
    c.boardFileLabel->setBuddy(c.boardFileEdit);
    c.sendFileButton =
        Make::button(f, "Command3", "Send", 60, 540, 600, 285, u"Отправить файл в контроллер "_s);
    c.receiveFileButton = Make::button(f, "Command4", "Recieve", 675, 540, 780, 285,
                                       u"Считать файл из контроллера"_s);
    c.closeTransferButton =
        Make::button(f, "Command5", "X", 1470, 540, 300, 285, u"Отмена пердачи"_s);
    c.fileProgressBar = new TextProgressBar(f);
    c.fileProgressBar->setObjectName("vbalProgressBar1");
    c.fileProgressBar->setGeometry(Twips::rect(1800, 555, 1095, 255));
    c.fileProgressBar->setAccessibleDescription("Transfer progress");
    f->setEnabled(false);
}

void buildBasicFiles(QWidget* w, Controls& c) {
    auto* f = c.basicFilesFrame = Make::frame(w, "Frame3", "BASIC Files", 6840, 0, 1755, 975,
                                              u"Управление программой в контроллере"_s);
    c.uploadProgramButton = Make::button(f, "Command10", "Download", 60, 225, 960, 315,
                                         u"Загрузть файл *.BAS в контроллер "_s);
    c.saveProgramButton = Make::button(f, "Command11", "Save ", 1035, 225, 660, 315,
                                       u"Считать программу из контроллера в файл *.BAS"_s);
    c.newProgramButton = Make::button(f, "Command12", "New ", 60, 585, 480, 315,
                                      u"Очистить программу в контроллере "_s);
    c.statusButton =
        Make::button(f, "Command13", "??", 555, 585, 360, 315, u"Информация о контроллере"_s);
    c.nextLineButton =
        Make::button(f, "Command9", ">>", 930, 585, 360, 315, u"Продолжить загрузку после сбоя"_s);
    c.stopButton = Make::button(f, "Command14", "X", 1305, 585, 390, 315, u"Остановить загрузку"_s);
}

void buildComms(QWidget* w, Controls& c) {
    auto* f = c.serialFrame = Make::frame(w, "Frame4", "Comm's", 0, 840, 3570, 615);
    static const char* const names[6] = {"Option1", "Option2", "Option3",
                                         "Option4", "Option5", "Option6"};
    static const char* const speeds[6] = {"1200", "2400", "4800", "9600", "19200", "115200"};
    for (int i = 0; i < 6; ++i)
        c.speedOptions[i] =
            Make::option(f, names[i], 60 + i * 255, 195, QStringLiteral("speed %1").arg(speeds[i]),
                         u"Выбор скорости порта"_s);
    c.speedOptions[5]->setChecked(true);
    c.speedLegendLabel = Make::label(f, "Label11", "12/24/48/96/19/115", 45, 420, 1620, 195);
    c.speedLabel =
        Make::label(f, "Label10", "speed", 1590, 195, 510, 225, u"Выбор скорости порта"_s);
    c.portAndHostLabels[0] = Make::label(f, "Label1(0)", "Port:(1-9)", 2100, 150, 840, 210);
    c.portEdit = Make::edit(f, "Comm_number", "COM3", 2100, 360, 780, 225, "Port:(1-9)");
    c.portAndHostLabels[0]->setBuddy(c.portEdit);
    c.openPortButton = Make::button(f, "BTNOpenCom", "Open", 2925, 210, 600, 330);
    c.activityLamp = new Lamp(f);
    c.activityLamp->setObjectName("Pic");
    c.activityLamp->setGeometry(Twips::rect(3150, 0, 195, 195));
    c.activityLamp->setAccessibleName("Serial activity");
    c.activityLamp->hide();
}

void buildGateways(QWidget* w, Controls& c) {
    auto* f5 = c.rtuFrame = Make::frame(w, "Frame5", "Modbus RTU", 3600, 840, 1875, 615,
                                        u"Настройка MODBUS на COM порт "_s);
    c.rtuGatewayCheck = Make::check(f5, "Check1", 1350, 0, "Modbus RTU");
    c.initUsbPortButton =
        Make::button(f5, "Command8", "Init Port", 60, 210, 780, 330, u"настройка порта "_s);
    c.rtuAddressLabel = Make::label(f5, "Label8", "Addr", 870, 210, 420, 210);
    c.rtuAddressEdit =
        Make::edit(f5, "Text3", "16", 1290, 180, 525, 240, "Addr", u"Адрес контроллера в сети"_s);
    c.viaUsbCheck = Make::check(f5, "Check3", 870, 375, "Via USB",
                                u"Подключение целевого через USB контроллер"_s);
    c.viaUsbLabel = Make::label(f5, "Label12", "Via USB", 1110, 375, 720, 210);
    // The address field's box reaches down into "Via USB" and the check box up into "Addr":
    // each caption keeps to the edge of its box away from them.
    c.rtuAddressLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    c.viaUsbLabel->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    f5->setEnabled(false);

    auto* f6 = c.ethGatewayFrame =
        Make::frame(w, "Frame6", "Eth to MB", 5520, 840, 1275, 615,
                    u"Настройка подключения MODBUS через ETHERNET контроллер "_s);
    c.ethGatewayCheck = Make::check(f6, "Check2", 960, 0, "Eth to MB", u"Включть"_s);
    c.initEthPortButton = Make::button(f6, "Command7", "InitP", 45, 210, 570, 330,
                                       u"Настроить порт ETHERNET контроллера для связи"_s);
    c.ethAddressLabel = Make::label(f6, "Label9", "Addr", 660, 165, 540, 195);
    c.ethAddressEdit =
        Make::edit(f6, "Text4", "16", 660, 360, 555, 225, "Addr", u"Адрес в сети MODBUS"_s);
    f6->setEnabled(false);
}

void buildConsole(QWidget* w, Controls& c) {
    c.decorativeLine = new QFrame(w);
    c.decorativeLine->setObjectName("Line4");
    c.decorativeLine->setFrameShape(QFrame::HLine);
    c.decorativeLine->setFrameShadow(QFrame::Sunken);
    c.decorativeLine->setGeometry(Twips::rect(6840, 990, 1755, 30));
    c.narrowButton = Make::button(w, "Command19", "<<", 6840, 1035, 345, 375, u"Свернуть буффер"_s);
    c.widenButton = Make::button(w, "Command18", ">>", 7200, 1035, 345, 375, u"Показать буффер"_s);
    c.clearConsoleButton =
        Make::button(w, "Command2", "Clear", 7560, 1035, 510, 375, u"Очистить окно"_s);
    c.lowerCaseButton =
        Make::button(w, "Command16", "-", 8085, 1035, 255, 375, u"Перевести в нижний  регистр"_s);
    c.upperCaseButton =
        Make::button(w, "Command15", "+", 8355, 1035, 240, 375, u"Перевести в верхний регистр"_s);

    c.consoleEdit = Make::textArea(w, "tbReceiveData", 0, 1440, 8595, 8040, "Console",
                                   u"Окно ответов контроллера"_s);
    c.consoleEdit->setUndoRedoEnabled(false);
    c.showTimestampsAction = new QAction(QStringLiteral("Show timestamps"), c.consoleEdit);
    c.showTimestampsAction->setObjectName(QStringLiteral("mnuTimestamps"));
    c.showTimestampsAction->setCheckable(true);
    c.commandEdit = Make::edit(w, "tbSendData", u"Команды набирать здесь"_s, 0, 9480, 8595, 375,
                               "Command line", u"Команды набирать здесь"_s);
    c.commandEdit->setFont(courierFont(10));
    QPalette pal = c.commandEdit->palette();
    pal.setColor(QPalette::Base, Qt::white);
    c.commandEdit->setPalette(pal);
}

void buildPortRow(QWidget* w, Controls& c) {
    // Below the design height: out of view unless the operator makes the window taller.
    c.remotePortLabel = Make::label(w, "Label5", "Remote-Port", 60, 10080, 900, 255);
    c.remotePortEdit = Make::edit(w, "tbRemotePort", {}, 960, 10080, 900, 285, "Remote-Port");
    c.remotePortLabel->setBuddy(c.remotePortEdit);
    c.localPortLabel = Make::label(w, "Label2", "Local-Port", 1980, 10080, 780, 255);
    c.localPortEdit = Make::edit(w, "tbLocalPort", {}, 2760, 10080, 900, 285, "Local-Port");
    c.localPortLabel->setBuddy(c.localPortEdit);
    c.myIpLabel = Make::label(w, "Label6", "My IP", 3840, 10080, 1500, 255);
}

} // namespace

void buildTerminalColumn(QWidget* window, Controls& c) {
    buildLink(window, c);
    buildFlashDisk(window, c);
    buildBasicFiles(window, c);
    buildComms(window, c);
    buildGateways(window, c);
    buildConsole(window, c);
    buildPortRow(window, c);
}
