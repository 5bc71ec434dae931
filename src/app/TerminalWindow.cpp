#include "app/TerminalWindow.h"

#include "app/Startup.h"
#include "app/WidthButtons.h"
#include "console/BufferPanel.h"
#include "console/CommandLine.h"
#include "console/ConsoleMenu.h"
#include "console/ConsoleModel.h"
#include "console/ConsoleView.h"
#include "console/Router.h"
#include "form/ClickLabel.h"
#include "form/Columns.h"
#include "form/Dialogs.h"
#include "form/TextProgressBar.h"
#include "form/Twips.h"
#include "help/HelpPanel.h"
#include "link/BoardLink.h"
#include "link/HostList.h"
#include "link/PortChoice.h"
#include "link/SendPath.h"
#include "link/SerialLink.h"
#include "link/UdpLink.h"
#include "modbus/GatewayPanel.h"
#include "modbus/HexMonitor.h"
#include "modbus/ModbusBuilderPanel.h"
#include "modbus/ModbusParserPanel.h"
#include "modbus/ModbusPoller.h"
#include "modbus/PollControl.h"
#include "modbus/TrendModel.h"
#include "modbus/TrendWindow.h"
#include "transfer/BasicPanel.h"
#include "transfer/FlashDiskPanel.h"
#include "transfer/Transfers.h"
#include "transfer/WindowSink.h"

#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdio>

namespace {
constexpr int ClientHeight = 9870;
constexpr int WindowFontTwips = 135; // 9 pixels at 96 DPI
} // namespace

TerminalWindow::TerminalWindow(Dialogs* dialogs, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("UDP"));
    setWindowTitle(QStringLiteral("Brenmoor V4.1.2"));
    // The twip layout was drawn for a small dialog font; a larger one would not fit the panels:
    // at 10 pixels (7.5 points) DejaVu Sans runs "Remote-Port" past its box and the gateway
    // captions into their neighbours.
    setFont(twipsFont(font(), WindowFontTwips));
    if (!dialogs) {
        ownDialogs_ = std::make_unique<WidgetDialogs>(this);
        dialogs = ownDialogs_.get();
    }
    modalDialogs = dialogs;

    buildTerminalColumn(this, *this);
    buildBufferColumn(this, *this);
    buildModbusColumn(this, *this);
    trend_ = std::make_unique<TrendModel>();
    TrendWindow::build(this, *this, *trend_);
    // Tab walks the panels in the order they were built, left to right and top to bottom; the
    // command line, where the operator types, comes first and has the focus at start.
    QWidget::setTabOrder(parserEdit, commandEdit);
    commandEdit->setFocus();
    resize(Twips::toPixels(WidthButtons::Narrow), Twips::toPixels(ClientHeight));

    createControllers();
    wire();
    load();
}

TerminalWindow::~TerminalWindow() {
    // The link's poll and reads must not reach into a half-destroyed window.
    link_->disconnect();
    poller_->stop();
}

void TerminalWindow::createControllers() {
    Dialogs& dialogs = *modalDialogs;
    console_ = new ConsoleModel(this);
    consoleView_ = new ConsoleView(console_, consoleEdit, this);
    consoleMenu_ = std::make_unique<ConsoleMenu>(*this, *console_);
    link_ = std::make_unique<BoardLink>(&state_.log);
    sink_ = std::make_unique<WindowSink>(*link_, &state_.log, *this, *console_, dialogs,
                                         fileProgressBar);
    transfers_ = std::make_unique<Transfers>(*sink_);
    udpLink_ = std::make_unique<UdpLink>(*this, *this, *this, *link_);
    serialLink_ = std::make_unique<SerialLink>(*this, *this, *this, dialogs, *link_, *console_);
    sendPath_ = std::make_unique<SendPath>(*this, *link_, *console_);
    commandLine_ = std::make_unique<CommandLine>(*this, state_, *console_);
    bufferPanel_ = std::make_unique<BufferPanel>(*this, *this, state_);
    helpPanel_ = std::make_unique<HelpPanel>(*this, *this);
    router_ = std::make_unique<Router>(*this, *this, state_, *console_);
    hostList_ = std::make_unique<HostList>(*this, *this, dialogs);
    widthButtons_ = std::make_unique<WidthButtons>(this, *this, *this, *this);
    basicPanel_ = std::make_unique<BasicPanel>(*this, *this, *transfers_, *link_, dialogs);
    flashDiskPanel_ = std::make_unique<FlashDiskPanel>(*this, *this, *transfers_, *link_, dialogs);
    hexMonitor_ = std::make_unique<HexMonitor>(*this);
    modbusBuilder_ = std::make_unique<ModbusBuilderPanel>(*this, state_, dialogs);
    modbusParser_ = std::make_unique<ModbusParserPanel>(*this, state_);
    gatewayPanel_ = std::make_unique<GatewayPanel>(*this, *this, *this);
    poller_ = std::make_unique<ModbusPoller>(*trend_);
    pollControl_ = std::make_unique<PollControl>(*this, *modbusBuilder_, *poller_, dialogs);
    trendWindow_ = std::make_unique<TrendWindow>(*this, *trend_, *poller_, dialogs);
}

void TerminalWindow::wire() {
    // Every chunk from either link: the hex monitor sees it raw, then its board text goes to the
    // running transfer or the console.
    // A polled reply is the trend's: at 10 ms its binary bytes would bury the console.
    connect(link_.get(), &BoardLink::received, this, [this](const QByteArray& chunk, Channel) {
        hexMonitor_->showChunk(chunk);
        pollReplyTaken_ = poller_->received(chunk); // false unless polling
    });
    connect(link_.get(), &BoardLink::boardText, this,
            [this](const QByteArray& text, const QString& otherSender) {
                if (!std::exchange(pollReplyTaken_, false))
                    router_->routeBoardText(text, otherSender);
            });
    connect(link_.get(), &BoardLink::failed, this,
            [this](const Failure& why) { modalDialogs->report(why); });
    // A vanished port ends what ran on it; the serial panel tells the operator.
    connect(link_.get(), &BoardLink::lost, this, [this] { transfers_->stopAll(); });
    router_->toTransfers = [this](const QByteArray& text, const QString& otherSender) {
        transfers_->receive(text, otherSender);
    };
    // A line typed for the board must not land in a listing being saved.
    commandLine_->sendTypedLine = [this] {
        transfers_->commandLineTyped();
        transfers_->commandLineSent(sendPath_->sendTypedLine());
    };

    commandLine_->showBuffer = [this] {
        bufferPanel_->showBuffer();
    };
    commandLine_->helpHook = [this](const QString& before, qint16& key) {
        helpPanel_->onCommandLineKey(before, key);
    };

    // The MODBUS tools write their bytes as they stand, never through the gateway wrapping.
    RawLinks raw;
    raw.socketOpen = [this] {
        return link_->udpOpen();
    };
    raw.sendDatagram = [this](const QByteArray& bytes) {
        return link_->sendRaw(Channel::Udp, bytes);
    };
    raw.portOpen = [this] {
        return link_->serialOpen();
    };
    raw.writePort = [this](const QByteArray& bytes) {
        return link_->sendRaw(Channel::Serial, bytes);
    };
    modbusBuilder_->links = raw;
    gatewayPanel_->links = raw;
    hexMonitor_->toParser = [this](const QByteArray& packet) {
        modbusParser_->showReply(packet);
    };
    pollControl_->pollingStarted = [this] {
        trendWindow_->show();
    };
    trendWindow_->stopPolling = [this] {
        pollControl_->stopPolling();
    };

    // The operator's choices are remembered in brenmoor.ini as they are made.
    consoleMenu_->stampsChosen = [this](bool show) {
        settings_.showTimestamps = show;
        saveSettings();
    };
    pollControl_->periodChosen = [this](int ms) {
        settings_.pollPeriodMs = ms;
        saveSettings();
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
    gatewayPanel_->connectControls();
    consoleMenu_->connectControls();
    pollControl_->connectControls();
    trendWindow_->connectControls();
}

void TerminalWindow::saveSettings() {
    if (const auto failed = settings_.write())
        modalDialogs->report(*failed);
}

void TerminalWindow::load() {
    widthButtons_->setWidthTwips(WidthButtons::Narrow);
    for (ClickLabel* l : bufferLabels)
        l->clear();
    helpPanel_->clearHelp();

    Startup::loadCommandBuffer(state_);
    bufferPanel_->showBuffer();
    state_.lineFromBuffer = 0;
    fileProgressBar->setText(QStringLiteral("NO FILE"));

    Startup::loadHostList(*this);

    const bool haveSettings = QFile::exists(Settings::FileName);
    settings_ = Settings::read();
    consoleMenu_->showStamps(settings_.showTimestamps);
    transfers_->replyWatch().setLimitMs(settings_.replyWaitMs);
    pollControl_->setPeriod(settings_.pollPeriodMs);
    if (!haveSettings) // written at once, so the operator finds every choice there to edit
        saveSettings();

    localPortEdit->setText(PortChoice::drawLocalPort());
    remotePortEdit->setText(QStringLiteral("111"));
    if (const auto failed = Startup::openLog(state_))
        modalDialogs->report(*failed);
}

void TerminalWindow::unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    // The old command.ini stays whole when the new one cannot be written; say why, and to an
    // operator who closed the window also in a box (a signal's shut-down never waits on one).
    if (const auto failed = Startup::saveCommandBuffer(state_)) {
        std::fprintf(stderr, "brenmoor: command.ini not saved: %s\n",
                     qPrintable(failed->description));
        if (!closingBySignal_)
            modalDialogs->report(*failed);
    }
    if (link_->serialOpen())
        serialLink_->closePort();
}

void TerminalWindow::closeBySignal() {
    closingBySignal_ = true;
    unload();
    close();
}

void TerminalWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // A column wholly outside the client area is hidden, so neither Tab nor a screen reader
    // wanders into controls nobody can see.
    const bool buffer = width() > bufferFrame->x();
    using Widgets = std::initializer_list<QWidget*>;
    for (QWidget* w : Widgets{bufferFrame, helpFrame, addToBufferButton, clearLineButton,
                              creditLabel, webAddressLabel})
        w->setVisible(buffer);
    const bool modbus = width() > hexFrame->x();
    for (QWidget* w : Widgets{hexFrame, builderFrame, parserFrame})
        w->setVisible(modbus);
}

void TerminalWindow::closeEvent(QCloseEvent* event) {
    unload();
    event->accept();
}
