#pragma once

#include "core/Settings.h"
#include "core/TerminalState.h"
#include "form/Controls.h"

#include <QWidget>
#include <memory>

class BasicPanel;
class BoardLink;
class BufferPanel;
class CommandLine;
class ConsoleMenu;
class ConsoleModel;
class ConsoleView;
class FlashDiskPanel;
class GatewayPanel;
class HelpPanel;
class HexMonitor;
class HostList;
class ModbusBuilderPanel;
class ModbusParserPanel;
class ModbusPoller;
class PollControl;
class Router;
class SendPath;
class SerialLink;
class Transfers;
class TrendModel;
class TrendWindow;
class UdpLink;
class WidthButtons;
class WindowSink;

// The terminal's one window. It builds the controls, creates the session (the link to the board
// and the transfers that run on it) and each subsystem's controller over the controls and the
// shared state, wires them together, and runs start-up and shut-down. It holds no protocol
// logic itself.
class TerminalWindow : public QWidget, public Controls {
    Q_OBJECT
public:
    // Tests pass their own dialogs; the window otherwise shows real ones.
    explicit TerminalWindow(Dialogs* dialogs = nullptr, QWidget* parent = nullptr);
    ~TerminalWindow() override;

    TerminalState& state() { return state_; }
    Settings& settings() { return settings_; }
    BoardLink& link() { return *link_; }
    Transfers& transfers() { return *transfers_; }
    ConsoleModel& console() { return *console_; }
    ConsoleView& consoleView() { return *consoleView_; }
    ConsoleMenu& consoleMenu() { return *consoleMenu_; }
    UdpLink& udpLink() { return *udpLink_; }
    SerialLink& serialLink() { return *serialLink_; }
    SendPath& sendPath() { return *sendPath_; }
    CommandLine& commandLine() { return *commandLine_; }
    BufferPanel& bufferPanel() { return *bufferPanel_; }
    HelpPanel& helpPanel() { return *helpPanel_; }
    Router& router() { return *router_; }
    HostList& hostList() { return *hostList_; }
    WidthButtons& widthButtons() { return *widthButtons_; }
    BasicPanel& basicPanel() { return *basicPanel_; }
    FlashDiskPanel& flashDiskPanel() { return *flashDiskPanel_; }
    HexMonitor& hexMonitor() { return *hexMonitor_; }
    ModbusBuilderPanel& modbusBuilder() { return *modbusBuilder_; }
    ModbusParserPanel& modbusParser() { return *modbusParser_; }
    GatewayPanel& gatewayPanel() { return *gatewayPanel_; }
    TrendModel& trend() { return *trend_; }
    ModbusPoller& poller() { return *poller_; }
    PollControl& pollControl() { return *pollControl_; }
    TrendWindow& trendWindow() { return *trendWindow_; }

    void load();
    void unload();
    // The shut-down of a session that ends the program (SIGTERM, SIGINT, SIGHUP): the same as
    // closing the window, but nothing in it waits for the operator.
    void closeBySignal();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void createControllers();
    void wire();
    void saveSettings();

    TerminalState state_;
    Settings settings_;
    std::unique_ptr<Dialogs> ownDialogs_;
    std::unique_ptr<BoardLink> link_;
    std::unique_ptr<WindowSink> sink_;
    std::unique_ptr<Transfers> transfers_;
    ConsoleModel* console_ = nullptr;
    ConsoleView* consoleView_ = nullptr;
    std::unique_ptr<ConsoleMenu> consoleMenu_;
    std::unique_ptr<UdpLink> udpLink_;
    std::unique_ptr<SerialLink> serialLink_;
    std::unique_ptr<SendPath> sendPath_;
    std::unique_ptr<CommandLine> commandLine_;
    std::unique_ptr<BufferPanel> bufferPanel_;
    std::unique_ptr<HelpPanel> helpPanel_;
    std::unique_ptr<Router> router_;
    std::unique_ptr<HostList> hostList_;
    std::unique_ptr<WidthButtons> widthButtons_;
    std::unique_ptr<BasicPanel> basicPanel_;
    std::unique_ptr<FlashDiskPanel> flashDiskPanel_;
    std::unique_ptr<HexMonitor> hexMonitor_;
    std::unique_ptr<ModbusBuilderPanel> modbusBuilder_;
    std::unique_ptr<ModbusParserPanel> modbusParser_;
    std::unique_ptr<GatewayPanel> gatewayPanel_;
    std::unique_ptr<TrendModel> trend_;
    std::unique_ptr<ModbusPoller> poller_;
    std::unique_ptr<PollControl> pollControl_;
    std::unique_ptr<TrendWindow> trendWindow_;
    bool pollReplyTaken_ = false; // the chunk whose board text comes next went to the poller
    bool unloaded_ = false;
    bool closingBySignal_ = false;
};
