#pragma once

#include "form/WidgetFloor.h"

#include <array>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class ClickLabel;
class Lamp;
class TextProgressBar;
class Dialogs;

// Every control of the window under the name the rest of the program uses for it, gathered by
// the frame it stands in. The socket, the serial port and its poll are no controls: they are
// the session's link. The window creates them; each controller is handed the groups it works
// on, so its constructor says what it touches. Arrays of controls are indexed from 0, as
// `bufferLabels(0)` .. `bufferLabels(63)`.

// "Link": the UDP link and its host list, with the port row below the design height.
struct LinkControls {
    QGroupBox* linkFrame = nullptr;
    QPushButton* connectButton = nullptr;
    QPushButton* disconnectButton = nullptr;
    QComboBox* hostCombo = nullptr;
    QPushButton* addHostButton = nullptr;
    QPushButton* deleteHostButton = nullptr;
    QPushButton* saveHostsButton = nullptr;
    QLabel* disconnectedMark = nullptr;
    QLabel* connectedMark = nullptr;
    QLineEdit* remotePortEdit = nullptr;
    QLabel* remotePortLabel = nullptr;
    QLineEdit* localPortEdit = nullptr;
    QLabel* localPortLabel = nullptr;
    QLabel* myIpLabel = nullptr;
};

// "Flash disk": file transfers to and from the board's flash disk.
struct FlashDiskControls {
    QGroupBox* flashDiskFrame = nullptr;
    QPushButton* sendFileButton = nullptr;
    QLineEdit* boardFileEdit = nullptr;
    QPushButton* receiveFileButton = nullptr;
    QPushButton* closeTransferButton = nullptr;
    TextProgressBar* fileProgressBar = nullptr;
    QLabel* boardFileLabel = nullptr;
};

// "BASIC Files": program upload and download, NEW, STATUS, continue and stop.
struct BasicFilesControls {
    QGroupBox* basicFilesFrame = nullptr;
    QPushButton* uploadProgramButton = nullptr;
    QPushButton* saveProgramButton = nullptr;
    QPushButton* newProgramButton = nullptr;
    QPushButton* statusButton = nullptr;
    QPushButton* nextLineButton = nullptr;
    QPushButton* stopButton = nullptr;
};

// "Comm's": the serial port's speed and name, the Open/Close button and the activity lamp.
struct CommControls {
    QGroupBox* serialFrame = nullptr;
    std::array<QRadioButton*, 6> speedOptions{}; // speedOptions[0]..speedOptions[5] at indexes 0..5
    QLabel* speedLegendLabel = nullptr;
    QLabel* speedLabel = nullptr;
    QLineEdit* portEdit = nullptr;
    QPushButton* openPortButton = nullptr;
    Lamp* activityLamp = nullptr;
};

// "Modbus RTU": the serial gateway modes.
struct RtuControls {
    QGroupBox* rtuFrame = nullptr;
    QPushButton* initUsbPortButton = nullptr;
    QCheckBox* viaUsbCheck = nullptr;
    QCheckBox* rtuGatewayCheck = nullptr;
    QLabel* viaUsbLabel = nullptr;
    QLineEdit* rtuAddressEdit = nullptr;
    QLabel* rtuAddressLabel = nullptr;
};

// "Eth to MB": the Ethernet gateway mode.
struct GatewayControls {
    QGroupBox* ethGatewayFrame = nullptr;
    QPushButton* initEthPortButton = nullptr;
    QCheckBox* ethGatewayCheck = nullptr;
    QLineEdit* ethAddressEdit = nullptr;
    QLabel* ethAddressLabel = nullptr;
};

// The console and the buttons between it and the buffer column.
struct ConsoleControls {
    QPlainTextEdit* consoleEdit = nullptr;
    QPushButton* narrowButton = nullptr;       // "<<"
    QPushButton* widenButton = nullptr;        // ">>"
    QPushButton* clearConsoleButton = nullptr; // console "Clear"
    QPushButton* lowerCaseButton = nullptr;    // "-"
    QPushButton* upperCaseButton = nullptr;    // "+"
    QFrame* decorativeLine = nullptr;
};

// The command line: where nearly every handler leaves the focus.
struct CommandLineControls {
    QLineEdit* commandEdit = nullptr;
};

// "Buffer  (click text to insert text)", with ADD and the clear-line button.
struct BufferControls {
    QGroupBox* bufferFrame = nullptr;
    QPushButton* clearBufferButton = nullptr;
    std::array<ClickLabel*, 64> bufferLabels{};
    std::array<QPushButton*, 64> deleteLineButtons{};
    QPushButton* addToBufferButton = nullptr; // "ADD"
    QPushButton* clearLineButton = nullptr;   // "X"
};

// "Help (click text to insert text)".
struct HelpControls {
    QGroupBox* helpFrame = nullptr;
    std::array<ClickLabel*, 15> helpLabels{};
};

// "HEX": the hex monitor.
struct HexControls {
    QGroupBox* hexFrame = nullptr;
    QCheckBox* hexEnableCheck = nullptr;
    QLabel* hexEnableLabel = nullptr;
    QPushButton* clearHexButton = nullptr;
    QPlainTextEdit* hexEdit = nullptr;
};

// "MODBUS": the request builder.
struct ModbusBuilderControls {
    QGroupBox* builderFrame = nullptr;
    QLabel* builderHeading = nullptr;
    QPushButton* sendFrameButton = nullptr;
    QPushButton* clearFramesButton = nullptr;
    QLineEdit* deviceAddressEdit = nullptr;
    QLineEdit* functionEdit = nullptr;
    QLineEdit* dataBlockEdit = nullptr;
    QLineEdit* dataAddressEdit = nullptr;
    QLineEdit* quantityEdit = nullptr;
    QPlainTextEdit* sentFramesEdit = nullptr;
    QCheckBox* dataBlockCheck = nullptr;
    QCheckBox* crcCheck = nullptr;
    QCheckBox* crlfCheck = nullptr;
    QCheckBox* dataAddressHexCheck = nullptr;
    QCheckBox* quantityHexCheck = nullptr;
    QCheckBox* dataAddressCheck = nullptr;
    QCheckBox* quantityCheck = nullptr;
    QRadioButton* dataHexOption = nullptr;
    QRadioButton* dataAsciiOption = nullptr;
    QLabel* addressFunctionLabel = nullptr;
    QLabel* dataHexLabel = nullptr;
    QLabel* dataAsciiLabel = nullptr;
    QLabel* crcCrlfLabel = nullptr;
    QLabel* lengthDataLabel = nullptr;
    QLabel* dataAddressLabel = nullptr;
    QLabel* dataAddressHexLabel = nullptr;
    QLabel* quantityLabel = nullptr;
    QLabel* quantityHexLabel = nullptr;
    QLabel* dataAddressAddLabel = nullptr;
    QLabel* quantityAddLabel = nullptr;
};

// "MODBUS Parser": the reply parser.
struct ModbusParserControls {
    QGroupBox* parserFrame = nullptr;
    QCheckBox* parserEnableCheck = nullptr;
    QLabel* parserEnableLabel = nullptr;
    QPushButton* clearParserButton = nullptr;
    QPlainTextEdit* parserEdit = nullptr;
};

// What stands outside the frames and belongs to no one panel.
struct WindowControls {
    std::array<QLabel*, 2> portAndHostLabels{}; // (0) "Port:(1-9)" in Comm's, (1) " Host" in Link
    QLabel* creditLabel = nullptr;              // author credit
    ClickLabel* webAddressLabel = nullptr;      // web address
    Dialogs* modalDialogs = nullptr;
};

struct Controls : LinkControls,
                  FlashDiskControls,
                  BasicFilesControls,
                  CommControls,
                  RtuControls,
                  GatewayControls,
                  ConsoleControls,
                  CommandLineControls,
                  BufferControls,
                  HelpControls,
                  HexControls,
                  ModbusBuilderControls,
                  ModbusParserControls,
                  WindowControls {};
