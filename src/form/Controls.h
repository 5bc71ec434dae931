#pragma once

#include "form/WidgetFloor.h"

#include <array>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QWidget;
class ClickLabel;
class Lamp;
class TextProgressBar;
class TrendPlot;
class Dialogs;

// Every control of the window, gathered by the frame it stands in: the one place where a
// control's name in the code meets its object name (the window's own name for it, which it
// keeps) and its caption. The window creates the controls; each controller is handed the
// groups it works on, so its constructor says what it touches. Arrays are indexed from 0, their
// object names carry the index: bufferLabels[5] is "Label13(5)". The socket, the serial port
// and its poll are no controls: they are the session's link.
//
// The members, their object names, captions and jobs stand in columns.
// clang-format off

// "Link": the UDP link and its host list, with the port row below the design height.
struct LinkControls {
    QGroupBox* linkFrame = nullptr;          // Frame1        "Link"
    QPushButton* connectButton = nullptr;    // cbBind        "Connect"       binds, sends to host
    QPushButton* disconnectButton = nullptr; // Command1      "Disconnect"    closes the socket
    QComboBox* hostCombo = nullptr;          // ComboRemoteIP (address)       the board's address
    QPushButton* addHostButton = nullptr;    // Add_ip        "Add"           adds the typed host
    QPushButton* deleteHostButton = nullptr; // Del_ip        "Del"           deletes the host
    QPushButton* saveHostsButton = nullptr;  // SaveIP        "Save"          writes terminal.ini
    QLabel* disconnectedMark = nullptr;      // NoConnect     (red mark)      the link is down
    QLabel* connectedMark = nullptr;         // YesConnect    (green tick)    the link is up
    QLineEdit* remotePortEdit = nullptr;     // tbRemotePort  "111"           the board's port
    QLabel* remotePortLabel = nullptr;       // Label5        "Remote-Port"
    QLineEdit* localPortEdit = nullptr;      // tbLocalPort   (5500..6499)    our port
    QLabel* localPortLabel = nullptr;        // Label2        "Local-Port"
    QLabel* myIpLabel = nullptr;             // Label6        "My IP"
};

// "Flash disk": file transfers to and from the board's flash disk.
struct FlashDiskControls {
    QGroupBox* flashDiskFrame = nullptr;        // Frame2   "Flash disk"
    QPushButton* sendFileButton = nullptr;      // Command3 "Send"       a local file to the board
    QLineEdit* boardFileEdit = nullptr;         // Text2    "SAMPLE.TXT" the file's name there
    QPushButton* receiveFileButton = nullptr;   // Command4 "Recieve"    a board file to a local one
    QPushButton* closeTransferButton = nullptr; // Command5 "X"          ends a transfer, CLOSE
    TextProgressBar* fileProgressBar = nullptr; // vbalProgressBar1 "NO FILE" the transfer's state
    QLabel* boardFileLabel = nullptr;           // Label7   "File name:"
};

// "BASIC Files": program upload and download, NEW, STATUS, continue and stop.
struct BasicFilesControls {
    QGroupBox* basicFilesFrame = nullptr;      // Frame3    "BASIC Files"
    QPushButton* uploadProgramButton = nullptr; // Command10 "Download"   a .bas file to the board
    QPushButton* saveProgramButton = nullptr;   // Command11 "Save "      the program into a file
    QPushButton* newProgramButton = nullptr;    // Command12 "New "       erases the board's program
    QPushButton* statusButton = nullptr;        // Command13 "??"         asks the board's STATUS
    QPushButton* nextLineButton = nullptr;      // Command9  ">>"         the next line, unanswered
    QPushButton* stopButton = nullptr;          // Command14 "X"          stops an upload or a Save
};

// "Comm's": the serial port's speed and name, the Open/Close button and the activity lamp.
struct CommControls {
    QGroupBox* serialFrame = nullptr;             // Frame4     "Comm's"
    std::array<QRadioButton*, 6> speedOptions{}; // Option1..Option6 (no caption) 1200..115200 baud
    QLabel* speedLegendLabel = nullptr;           // Label11    "12/24/48/96/19/115"
    QLabel* speedLabel = nullptr;                 // Label10    "speed"
    QLineEdit* portEdit = nullptr;                // Comm_number "COM3"    COMn or a device path
    QPushButton* openPortButton = nullptr;        // BTNOpenCom "Open"     opens or closes the port
    Lamp* activityLamp = nullptr;                 // Pic        (lamp)     blinks, red in, green out
};

// "Modbus RTU": the serial gateway modes.
struct RtuControls {
    QGroupBox* rtuFrame = nullptr;            // Frame5   "Modbus RTU"
    QPushButton* initUsbPortButton = nullptr; // Command8 "Init Port" sets up the USB board's port
    QCheckBox* viaUsbCheck = nullptr;         // Check3   (Via USB)   lines as "MDC" lines
    QCheckBox* rtuGatewayCheck = nullptr;     // Check1   (Modbus RTU) lines in console-text frames
    QLabel* viaUsbLabel = nullptr;            // Label12  "Via USB"
    QLineEdit* rtuAddressEdit = nullptr;      // Text3    "16"        the board's address
    QLabel* rtuAddressLabel = nullptr;        // Label8   "Addr"
};

// "Eth to MB": the Ethernet gateway mode.
struct GatewayControls {
    QGroupBox* ethGatewayFrame = nullptr;     // Frame6   "Eth to MB"
    QPushButton* initEthPortButton = nullptr; // Command7 "InitP"     sets up the Ethernet board
    QCheckBox* ethGatewayCheck = nullptr;     // Check2   (Eth to MB) lines over UDP as "MDC" lines
    QLineEdit* ethAddressEdit = nullptr;      // Text4    "16"        the MODBUS address
    QLabel* ethAddressLabel = nullptr;        // Label9   "Addr"
};

// The console and the buttons between it and the buffer column.
struct ConsoleControls {
    QPlainTextEdit* consoleEdit = nullptr;     // tbReceiveData (text)  the board's replies
    QPushButton* narrowButton = nullptr;       // Command19 "<<"        the terminal column only
    QPushButton* widenButton = nullptr;        // Command18 ">>"        shows the next column
    QPushButton* clearConsoleButton = nullptr; // Command2  "Clear"     empties the console
    QPushButton* lowerCaseButton = nullptr;    // Command16 "-"         the line in lower case
    QPushButton* upperCaseButton = nullptr;    // Command15 "+"         the line in upper case
    QFrame* decorativeLine = nullptr;          // Line4
    QAction* showTimestampsAction = nullptr;   // mnuTimestamps "Show timestamps" (console menu)
};

// The command line: where nearly every handler leaves the focus.
struct CommandLineControls {
    QLineEdit* commandEdit = nullptr; // tbSendData "Команды набирать здесь" a line for the board
};

// "Buffer  (click text to insert text)", with ADD and the clear-line button.
struct BufferControls {
    QGroupBox* bufferFrame = nullptr;                 // Frame7       "Buffer  (click ...)"
    QPushButton* clearBufferButton = nullptr;         // Command20    "Clear"  empties the buffer
    std::array<ClickLabel*, 64> bufferLabels{};       // Label13(n)   (line n) appends it
    std::array<QPushButton*, 64> deleteLineButtons{}; // Command17(n) "x"      deletes line n
    QPushButton* addToBufferButton = nullptr;         // Command21    "ADD"    stores the line
    QPushButton* clearLineButton = nullptr;           // Command22    "X"      empties the line
};

// "Help (click text to insert text)".
struct HelpControls {
    QGroupBox* helpFrame = nullptr;           // Frame8     "Help (click text to insert text)"
    std::array<ClickLabel*, 15> helpLabels{}; // Label14(n) (a keyword) inserts it
};

// "HEX": the hex monitor.
struct HexControls {
    QGroupBox* hexFrame = nullptr;         // Frame9   "HEX"
    QCheckBox* hexEnableCheck = nullptr;   // Check12  (Enable) shows every chunk in hex
    QLabel* hexEnableLabel = nullptr;      // Label28  "Enable"
    QPushButton* clearHexButton = nullptr; // Command6 "Clear"
    QPlainTextEdit* hexEdit = nullptr;     // Text1    (hex)
};

// "MODBUS": the request builder.
struct ModbusBuilderControls {
    QGroupBox* builderFrame = nullptr;          // Frame10   "MODBUS"
    QLabel* builderHeading = nullptr;           // Label19   "Конструктор пакета"
    QPushButton* sendFrameButton = nullptr;     // Command23 "Send"  builds and sends the frame
    QPushButton* clearFramesButton = nullptr;   // Command25 "Clear"
    QLineEdit* deviceAddressEdit = nullptr;     // Text5     "10"    device address, hex
    QLineEdit* functionEdit = nullptr;          // Text6     "3"     function code, hex
    QLineEdit* dataBlockEdit = nullptr;         // Text7             the data block
    QLineEdit* dataAddressEdit = nullptr;       // Text9             the data address
    QLineEdit* quantityEdit = nullptr;          // Text10            quantity or value written
    QPlainTextEdit* sentFramesEdit = nullptr;   // Text11            the frames sent, in hex
    QCheckBox* dataBlockCheck = nullptr;        // Check4    (Len)   puts in the data block
    QCheckBox* crcCheck = nullptr;              // Check5    (CRC)   closes with the CRC
    QCheckBox* crlfCheck = nullptr;             // Check6    (CrLf)  then CR LF
    QCheckBox* dataAddressHexCheck = nullptr;   // Check8    (hex)   the data address in hex
    QCheckBox* quantityHexCheck = nullptr;      // Check9    (hex)   the quantity in hex
    QCheckBox* dataAddressCheck = nullptr;      // Check10   (Add)   puts in the data address
    QCheckBox* quantityCheck = nullptr;         // Check11   (Add)   puts in the quantity
    QRadioButton* dataHexOption = nullptr;      // Option7   (hex)   the data block in hex pairs
    QRadioButton* dataAsciiOption = nullptr;    // Option8   (ascii) the data block as text
    QLabel* addressFunctionLabel = nullptr;     // Label3    "Addr Fun(hex)"
    QLabel* dataHexLabel = nullptr;             // Label4    "hex"
    QLabel* dataAsciiLabel = nullptr;           // Label17   "ascii"
    QLabel* crcCrlfLabel = nullptr;             // Label18   "CRC  CrLf"
    QLabel* lengthDataLabel = nullptr;          // Label20   "Len   Data"
    QLabel* dataAddressLabel = nullptr;         // Label21   "Addr Param"
    QLabel* dataAddressHexLabel = nullptr;      // Label22   "hex"
    QLabel* quantityLabel = nullptr;            // Label23   "Qty / Data"
    QLabel* quantityHexLabel = nullptr;         // Label24   "hex"
    QLabel* dataAddressAddLabel = nullptr;      // Label25   "Add"
    QLabel* quantityAddLabel = nullptr;         // Label26   "Add"
    QAction* pollAction = nullptr;              // mnuPoll   "Poll every N ms" (menu) polls the
                                                //           frame in the fields; "Stop polling"
    QMenu* pollPeriodMenu = nullptr;            // mnuPollPeriod "Poll period" (menu) sets N
};

// "MODBUS Parser": the reply parser.
struct ModbusParserControls {
    QGroupBox* parserFrame = nullptr;         // Frame11   "MODBUS Parser"
    QCheckBox* parserEnableCheck = nullptr;   // Check7    (Enable) reads replies as MODBUS
    QLabel* parserEnableLabel = nullptr;      // Label27   "Enable"
    QPushButton* clearParserButton = nullptr; // Command24 "Clear"
    QPlainTextEdit* parserEdit = nullptr;     // Text8     (accounts of replies)
};

// "MODBUS trend": the window that plots the replies of a polled frame (built by the MODBUS
// panels, which own the plot).
struct TrendControls {
    QWidget* trendForm = nullptr;            // frmTrend      "MODBUS trend" (a window)
    TrendPlot* trendPlot = nullptr;          // picTrend      (curves)  values and reply times
    QLabel* pollStatusLabel = nullptr;       // lblPollStatus (counts)  period, replies, timeouts
    QPushButton* stopPollButton = nullptr;   // cmdStopPoll   "Stop"    stops polling
    QPushButton* exportCsvButton = nullptr;  // cmdExportCsv  "Export CSV..." writes the polls
    QPushButton* clearTrendButton = nullptr; // cmdClearTrend "Clear"   forgets the polls
};

// What stands outside the frames and belongs to no one panel.
struct WindowControls {
    std::array<QLabel*, 2> portAndHostLabels{}; // Label1(0) "Port:(1-9)", Label1(1) " Host"
    QLabel* creditLabel = nullptr;              // Label16   (author credit)
    ClickLabel* webAddressLabel = nullptr;      // Label15   (web address) opens it
    Dialogs* modalDialogs = nullptr;            // CommonDialog1: file dialogs and message boxes
};

// clang-format on

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
                  TrendControls,
                  WindowControls {};
