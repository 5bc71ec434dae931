#pragma once

#include "core/Failure.h"

#include <QByteArray>
#include <QSerialPort>
#include <QString>
#include <QStringList>

// The window's serial port, polled by the link's timer. Settings and the port are chosen
// before open and take effect there.
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
    std::optional<Failure> setSettings(const QString& settings);
    // Port 1 to 9: COMn on Windows, /dev/ttyS<n-1> elsewhere.
    std::optional<Failure> setCommPort(int number);
    // A device path used as it stands (/dev/ttyUSB0, a pseudo-terminal).
    void setPortPath(const QString& path);

    // The ports present on this machine as the Port box offers them: COM1..COM9 for the
    // built-in ports, device paths for the others (USB adapters included).
    static QStringList availablePorts();
    // The same for a list of device paths: sorted, each once, /dev/ttyS0..8 as COM1..COM9.
    static QStringList portChoices(QStringList paths);

    std::optional<Failure> open();
    void close();
    bool isOpen() const { return port_.isOpen() && !lost_; }

    // Received bytes not yet read.
    Expected<qint64> bytesWaiting();
    // Every waiting byte; the input buffer is empty afterwards.
    QByteArray readAll();
    // Bytes handed to the device.
    Expected<qint64> write(const QByteArray& bytes);

private:
    Failure portFailure() const;
    void pullInput();
    void onError(QSerialPort::SerialPortError error);

    QSerialPort port_;
    QString location_; // the device path, for messages
    qint32 baudRate_ = 9600;
    QSerialPort::Parity parity_ = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits_ = QSerialPort::Data8;
    QSerialPort::StopBits stopBits_ = QSerialPort::OneStop;
    bool lost_ = false;
};
