#include "app/UDP.h"

#include "app/Startup.h"
#include "app/WidthButtons.h"
#include "console/BufferPanel.h"
#include "console/CommandLine.h"
#include "console/ConsoleModel.h"
#include "console/ConsoleView.h"
#include "console/Router.h"
#include "form/ClickLabel.h"
#include "form/Columns.h"
#include "form/Dialogs.h"
#include "form/TextProgressBar.h"
#include "form/Twips.h"
#include "help/HelpPanel.h"
#include "link/HostList.h"
#include "link/PortChoice.h"
#include "link/SendPath.h"
#include "link/SerialLink.h"
#include "link/SerialPort.h"
#include "link/UdpLink.h"
#include "link/UdpSocket.h"
#include "modbus/GatewayPanel.h"
#include "modbus/HexMonitor.h"
#include "modbus/ModbusBuilderPanel.h"
#include "modbus/ModbusParserPanel.h"
#include "transfer/BasicPanel.h"
#include "transfer/FlashDiskPanel.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

namespace {
constexpr int ClientHeight = 9870;
}

UDP::UDP(Dialogs* dialogs, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("UDP"));
    setWindowTitle(QStringLiteral("Brenmoor V4.1.2"));
    // The twip layout was drawn for a small dialog font; a larger one would not fit the panels.
    QFont small = font();
    small.setPointSizeF(7.5);
    setFont(small);
    if (!dialogs) {
        ownDialogs_ = std::make_unique<WidgetDialogs>(this);
        dialogs = ownDialogs_.get();
    }
    CommonDialog1 = dialogs;
    Winsock1 = new UdpSocket(this);
    Winsock1->setObjectName(QStringLiteral("Winsock1"));
    MSComm1 = new SerialPort();
    TMRComm = new QTimer(this);
    TMRComm->setObjectName(QStringLiteral("TMRComm"));

    buildTerminalColumn(this, *this);
    buildBufferColumn(this, *this);
    buildModbusColumn(this, *this);
    // Tab walks the panels in the order they were built, left to right and top to bottom; the
    // command line, where the operator types, comes first and has the focus at start.
    QWidget::setTabOrder(Text8, tbSendData);
    tbSendData->setFocus();
    resize(Twips::toPixels(WidthButtons::Narrow), Twips::toPixels(ClientHeight));

    createControllers();
    wire();
    Form_Load();
}

UDP::~UDP() {
    // The timer must not fire into a half-destroyed window.
    TMRComm->stop();
    delete MSComm1;
}

void UDP::createControllers() {
    Dialogs& dialogs = *CommonDialog1;
    console_ = new ConsoleModel(this);
    consoleView_ = new ConsoleView(console_, tbReceiveData, this);
    udpLink_ = std::make_unique<UdpLink>(*this, *this, *this, *this, dialogs, state_);
    serialLink_ = std::make_unique<SerialLink>(*this, *this, *this, *this, dialogs, state_, state_,
                                               *console_);
    sendPath_ = std::make_unique<SendPath>(*this, state_, *console_);
    commandLine_ = std::make_unique<CommandLine>(*this, state_, *console_);
    bufferPanel_ = std::make_unique<BufferPanel>(*this, *this, state_);
    helpPanel_ = std::make_unique<HelpPanel>(*this, *this);
    router_ = std::make_unique<Router>(*this, *this, state_, state_, *console_);
    hostList_ = std::make_unique<HostList>(*this, *this, dialogs);
    widthButtons_ = std::make_unique<WidthButtons>(this, *this, *this, *this);
    basicPanel_ = std::make_unique<BasicPanel>(*this, *this, state_, state_, *console_, dialogs);
    flashDiskPanel_ =
        std::make_unique<FlashDiskPanel>(*this, *this, state_, state_, *console_, dialogs);
    hexMonitor_ = std::make_unique<HexMonitor>(*this, state_, state_);
    modbusBuilder_ = std::make_unique<ModbusBuilderPanel>(*this, state_, dialogs);
    modbusParser_ = std::make_unique<ModbusParserPanel>(*this, state_);
    gatewayPanel_ = std::make_unique<GatewayPanel>(*this, *this, *this, *this, *this);
}

void UDP::wire() {
    const auto serialOpen = [this] {
        return state_.ComOpened == 1;
    };
    // The Connect button tells whether the UDP link is up.
    const auto udpConnected = [this] {
        return !cbBind->isEnabled();
    };
    const auto hex = [this] {
        HEX_parser();
    };
    const auto route = [this] {
        router_->Com_Parser();
    };

    udpLink_->serialOpen = serialOpen;
    udpLink_->hexParser = hex;
    udpLink_->comParser = route;
    serialLink_->udpConnected = [this] {
        return Winsock1->state() == UdpSocket::StateOpen;
    };
    serialLink_->hexParser = hex;
    serialLink_->comParser = route;

    sendPath_->serialOpen = serialOpen;
    sendPath_->udpConnected = udpConnected;
    sendPath_->WriteCOM32 = [this](QByteArray& text) {
        return serialLink_->WriteCOM32(text);
    };
    sendPath_->UDP_Send = [this](QByteArray& text) {
        return udpLink_->UDP_Send(text);
    };

    commandLine_->Send_To_Device = [this] {
        sendPath_->Send_To_Device();
    };
    commandLine_->Update_Buffer = [this] {
        bufferPanel_->Update_Buffer();
    };
    commandLine_->helpHook = [this](const QString& before, qint16& key) {
        helpPanel_->onCommandLineKey(before, key);
    };

    // The transfers send through the link writers and read the link states themselves.
    TransferLinks links;
    links.UDP_Send = [this](QByteArray& text) {
        return udpLink_->UDP_Send(text);
    };
    links.WriteCOM32 = [this](QByteArray& text) {
        return serialLink_->WriteCOM32(text);
    };
    links.udpOpen = [this] {
        return Winsock1->state() == UdpSocket::StateOpen;
    };
    links.serialOpen = serialOpen;
    basicPanel_->links = links;
    flashDiskPanel_->links = links;
    router_->LOAD_BASIC_parser = [this] {
        basicPanel_->LOAD_BASIC_parser();
    };
    router_->SEND_BASIC_parser = [this] {
        basicPanel_->SEND_BASIC_parser();
    };
    router_->SEND_FILES_parser = [this] {
        flashDiskPanel_->SEND_FILES_parser();
    };
    router_->LOAD_FILES_parser = [this] {
        flashDiskPanel_->LOAD_FILES_parser();
    };
    // The MODBUS tools write their bytes as they stand, never through the gateway wrapping.
    RawLinks raw;
    raw.socketOpen = links.udpOpen;
    raw.sendDatagram = [this](const QByteArray& bytes) {
        return Winsock1->send(bytes).error();
    };
    raw.portOpen = [this] {
        return MSComm1->isOpen();
    };
    raw.writePort = [this](const QByteArray& bytes) {
        return MSComm1->write(bytes).error();
    };
    modbusBuilder_->links = raw;
    gatewayPanel_->links = raw;
    hexMonitor_->Modbus_Parser = [this] {
        modbusParser_->Modbus_Parser();
    };

    udpLink_->connectControls();
    serialLink_->connectControls();
    bufferPanel_->connectControls();
    helpPanel_->connectControls();
    router_->connectControls();
    hostList_->connectControls();
    widthButtons_->connectControls();
    basicPanel_->connectControls();
    flashDiskPanel_->connectControls();
    hexMonitor_->connectControls();
    modbusBuilder_->connectControls();
    modbusParser_->connectControls();
    // After the UDP link's: Connect opens "Flash disk" first, the gateway mode then decides.
    gatewayPanel_->connectControls();
}

void UDP::HEX_parser() {
    hexMonitor_->HEX_parser();
}

void UDP::Form_Load() {
    widthButtons_->setWidthTwips(WidthButtons::Narrow);
    for (ClickLabel* l : Label13)
        l->clear();
    helpPanel_->Clear_HELP();

    Startup::loadCommandBuffer(state_);
    bufferPanel_->Update_Buffer();
    state_.ComOpened = 0;
    state_.SendFilesMode = 0;
    state_.SendFilesDone = 0;
    state_.FromBuffer = 0;
    vbalProgressBar1->setText(QStringLiteral("NO FILE"));

    Startup::loadHostList(*this);

    tbLocalPort->setText(PortChoice::drawLocalPort());
    tbRemotePort->setText(QStringLiteral("111"));
    if (const auto failed = Startup::openLog(state_))
        CommonDialog1->report(*failed);
}

void UDP::Form_Unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    // The old command.ini stays whole when the new one cannot be written; say why, and to an
    // operator who closed the window also in a box (a signal's shut-down never waits on one).
    if (const auto failed = Startup::saveCommandBuffer(state_)) {
        std::fprintf(stderr, "brenmoor: command.ini not saved: %s\n",
                     qPrintable(failed->description));
        if (!closingBySignal_)
            CommonDialog1->report(*failed);
    }
    if (state_.ComOpened == 1)
        serialLink_->closePort();
}

void UDP::closeBySignal() {
    closingBySignal_ = true;
    Form_Unload();
    close();
}

void UDP::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // A column wholly outside the client area is hidden, so neither Tab nor a screen reader
    // wanders into controls nobody can see.
    const bool buffer = width() > Frame7->x();
    using Widgets = std::initializer_list<QWidget*>;
    for (QWidget* w : Widgets{Frame7, Frame8, Command21, Command22, Label16, Label15})
        w->setVisible(buffer);
    const bool modbus = width() > Frame9->x();
    for (QWidget* w : Widgets{Frame9, Frame10, Frame11})
        w->setVisible(modbus);
}

void UDP::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}
