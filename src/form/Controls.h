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
    QGroupBox* Frame9 = nullptr;
    QCheckBox* Check12 = nullptr;
    QLabel* Label28 = nullptr;
    QPushButton* Command6 = nullptr;
    QPlainTextEdit* Text1 = nullptr;
};

// "MODBUS": the request builder.
struct ModbusBuilderControls {
    QGroupBox* Frame10 = nullptr;
    QLabel* Label19 = nullptr;
    QPushButton* Command23 = nullptr;
    QPushButton* Command25 = nullptr;
    QLineEdit* Text5 = nullptr;
    QLineEdit* Text6 = nullptr;
    QLineEdit* Text7 = nullptr;
    QLineEdit* Text9 = nullptr;
    QLineEdit* Text10 = nullptr;
    QPlainTextEdit* Text11 = nullptr;
    QCheckBox* Check4 = nullptr;
    QCheckBox* Check5 = nullptr;
    QCheckBox* Check6 = nullptr;
    QCheckBox* Check8 = nullptr;
    QCheckBox* Check9 = nullptr;
    QCheckBox* Check10 = nullptr;
    QCheckBox* Check11 = nullptr;
    QRadioButton* Option7 = nullptr;
    QRadioButton* Option8 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label17 = nullptr;
    QLabel* Label18 = nullptr;
    QLabel* Label20 = nullptr;
    QLabel* Label21 = nullptr;
    QLabel* Label22 = nullptr;
    QLabel* Label23 = nullptr;
    QLabel* Label24 = nullptr;
    QLabel* Label25 = nullptr;
    QLabel* Label26 = nullptr;
};

// "MODBUS Parser": the reply parser.
struct ModbusParserControls {
    QGroupBox* Frame11 = nullptr;
    QCheckBox* Check7 = nullptr;
    QLabel* Label27 = nullptr;
    QPushButton* Command24 = nullptr;
    QPlainTextEdit* Text8 = nullptr;
};

// What stands outside the frames and belongs to no one panel.
struct WindowControls {
    std::array<QLabel*, 2> Label1{}; // (0) "Port:(1-9)" in Comm's, (1) " Host" in Link
    QLabel* Label16 = nullptr;       // author credit
    ClickLabel* Label15 = nullptr;   // web address
    Dialogs* CommonDialog1 = nullptr;
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
