#pragma once

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
class QTimer;
class ClickLabel;
class Lamp;
class TextProgressBar;
class UdpSocket;
class SerialPort;
class Dialogs;

// Every control of the window under the name the rest of the program uses for it. The window
// creates them; the subsystems' controllers get a reference and work on the controls they own.
// Arrays of controls are indexed from 0, as `Label13(0)` .. `Label13(63)`.
struct Controls {
    // Terminal column
    QGroupBox* Frame1 = nullptr; // "Link"
    QPushButton* cbBind = nullptr;
    QPushButton* Command1 = nullptr;
    QComboBox* ComboRemoteIP = nullptr;
    QPushButton* Add_ip = nullptr;
    QPushButton* Del_ip = nullptr;
    QPushButton* SaveIP = nullptr;
    std::array<QLabel*, 2> Label1{}; // (0) "Port:(1-9)", (1) " Host"
    QLabel* NoConnect = nullptr;
    QLabel* YesConnect = nullptr;

    QGroupBox* Frame2 = nullptr; // "Flash disk"
    QPushButton* Command3 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    TextProgressBar* vbalProgressBar1 = nullptr;
    QLabel* Label7 = nullptr;

    QGroupBox* Frame3 = nullptr; // "BASIC Files"
    QPushButton* Command10 = nullptr;
    QPushButton* Command11 = nullptr;
    QPushButton* Command12 = nullptr;
    QPushButton* Command13 = nullptr;
    QPushButton* Command9 = nullptr;
    QPushButton* Command14 = nullptr;

    QGroupBox* Frame4 = nullptr;           // "Comm's"
    std::array<QRadioButton*, 6> Option{}; // Option1..Option6 at indexes 0..5
    QLabel* Label11 = nullptr;
    QLabel* Label10 = nullptr;
    QLineEdit* Comm_number = nullptr;
    QPushButton* BTNOpenCom = nullptr;
    Lamp* Pic = nullptr;

    QGroupBox* Frame5 = nullptr; // "Modbus RTU"
    QPushButton* Command8 = nullptr;
    QCheckBox* Check3 = nullptr;
    QCheckBox* Check1 = nullptr;
    QLabel* Label12 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLabel* Label8 = nullptr;

    QGroupBox* Frame6 = nullptr; // "Eth to MB"
    QPushButton* Command7 = nullptr;
    QCheckBox* Check2 = nullptr;
    QLineEdit* Text4 = nullptr;
    QLabel* Label9 = nullptr;

    QPlainTextEdit* tbReceiveData = nullptr; // the console
    QLineEdit* tbSendData = nullptr;         // the command line
    QPushButton* Command19 = nullptr;        // "<<"
    QPushButton* Command18 = nullptr;        // ">>"
    QPushButton* Command2 = nullptr;         // console "Clear"
    QPushButton* Command16 = nullptr;        // "-"
    QPushButton* Command15 = nullptr;        // "+"
    QFrame* Line4 = nullptr;

    // Port row below the design height, and the credit labels
    QLineEdit* tbRemotePort = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* tbLocalPort = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label16 = nullptr;     // author credit
    ClickLabel* Label15 = nullptr; // web address

    // Buffer column
    QGroupBox* Frame7 = nullptr; // "Buffer  (click text to insert text)"
    QPushButton* Command20 = nullptr;
    std::array<ClickLabel*, 64> Label13{};
    std::array<QPushButton*, 64> Command17{};
    QPushButton* Command21 = nullptr; // "ADD"
    QPushButton* Command22 = nullptr; // "X"
    QGroupBox* Frame8 = nullptr;      // "Help (click text to insert text)"
    std::array<ClickLabel*, 15> Label14{};

    // MODBUS column
    QGroupBox* Frame9 = nullptr; // "HEX"
    QCheckBox* Check12 = nullptr;
    QLabel* Label28 = nullptr;
    QPushButton* Command6 = nullptr;
    QPlainTextEdit* Text1 = nullptr;

    QGroupBox* Frame10 = nullptr; // "MODBUS"
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

    QGroupBox* Frame11 = nullptr; // "MODBUS Parser"
    QCheckBox* Check7 = nullptr;
    QLabel* Label27 = nullptr;
    QPushButton* Command24 = nullptr;
    QPlainTextEdit* Text8 = nullptr;

    // Non-visual parts of the window
    UdpSocket* Winsock1 = nullptr;
    SerialPort* MSComm1 = nullptr;
    QTimer* TMRComm = nullptr;
    Dialogs* CommonDialog1 = nullptr;
};
