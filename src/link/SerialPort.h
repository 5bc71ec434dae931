#pragma once

#include <QByteArray>
#include <QSerialPort>
#include <QString>

// The window's serial port, polled by the link's timer. Settings and the port are chosen
// before open and take effect there. Failures return false (or -1) and leave a number from the
// ErrorNumber table and Qt's description behind.
//
// A device that vanishes while open (a USB adapter pulled, a pseudo-terminal's other side
// closed) is let go at once: isOpen() turns false, reads and writes fail, and the operator can
// close and open again.
class SerialPort {
public:
    SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // "9600,n,8,1": speed, parity (n, e, o, m, s), data bits (5 to 8), stop bits (1, 1.5, 2).
    bool setSettings(const QString& settings);
    // Port 1 to 9: COMn on Windows, /dev/ttyS<n-1> elsewhere.
    bool setCommPort(int number);
    // A device path used as it stands (/dev/ttyUSB0, a pseudo-terminal).
    void setPortPath(const QString& path);
    QString portName() const { return port_.portName(); }

    bool open();
    bool close();
    bool isOpen() const { return port_.isOpen() && !lost_; }

    // Received bytes not yet read; -1 when the port is not open or the read failed.
    qint64 bytesWaiting();
    // Every waiting byte; the input buffer is empty afterwards.
    QByteArray readAll();
    // Bytes handed to the device, -1 on failure.
    qint64 write(const QByteArray& bytes);

    int errorNumber() const { return errorNumber_; }
    QString errorDescription() const { return errorDescription_; }

private:
    bool fail(int number, const QString& description);
    bool failFromPort();
    void pullInput();
    void onError(QSerialPort::SerialPortError error);

    QSerialPort port_;
    qint32 baudRate_ = 9600;
    QSerialPort::Parity parity_ = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits_ = QSerialPort::Data8;
    QSerialPort::StopBits stopBits_ = QSerialPort::OneStop;
    bool lost_ = false;
    int errorNumber_ = 0;
    QString errorDescription_;
};
