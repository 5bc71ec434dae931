#include "link/SerialPort.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <QStringList>
#include <QTimer>
#include <cerrno>
#include <unistd.h>

SerialPort::SerialPort() {
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                     [this](QSerialPort::SerialPortError error) { onError(error); });
}

std::optional<Failure> SerialPort::setSettings(const QString& settings) {
    const QStringList parts = settings.split(u',');
    if (parts.size() != 4)
        return Failure{ErrorNumber::InvalidSetting,
                       QStringLiteral("Invalid settings: %1").arg(settings)};
    bool okBaud = false;
    bool okBits = false;
    const qint32 baud = parts[0].trimmed().toInt(&okBaud);
    const int bits = parts[2].trimmed().toInt(&okBits);
    const QString parity = parts[1].trimmed().toLower();
    const QString stop = parts[3].trimmed();
    QSerialPort::Parity p;
    if (parity == u"n")
        p = QSerialPort::NoParity;
    else if (parity == u"e")
        p = QSerialPort::EvenParity;
    else if (parity == u"o")
        p = QSerialPort::OddParity;
    else if (parity == u"m")
        p = QSerialPort::MarkParity;
    else if (parity == u"s")
        p = QSerialPort::SpaceParity;
    else
        return Failure{ErrorNumber::InvalidSetting,
                       QStringLiteral("Invalid parity: %1").arg(settings)};
    QSerialPort::StopBits s;
    if (stop == u"1")
        s = QSerialPort::OneStop;
    else if (stop == u"1.5")
        s = QSerialPort::OneAndHalfStop;
    else if (stop == u"2")
        s = QSerialPort::TwoStop;
    else
        return Failure{ErrorNumber::InvalidSetting,
                       QStringLiteral("Invalid stop bits: %1").arg(settings)};
    if (!okBaud || baud <= 0 || !okBits || bits < 5 || bits > 8)
        return Failure{ErrorNumber::InvalidSetting,
                       QStringLiteral("Invalid settings: %1").arg(settings)};
    baudRate_ = baud;
    parity_ = p;
    dataBits_ = static_cast<QSerialPort::DataBits>(bits);
    stopBits_ = s;
    return std::nullopt;
}

std::optional<Failure> SerialPort::setCommPort(int number) {
    if (number < 1 || number > 9)
        return Failure{ErrorNumber::InvalidPortNumber,
                       QStringLiteral("Invalid port number %1 (1 to 9)").arg(number)};
#ifdef Q_OS_WIN
    port_.setPortName(QStringLiteral("COM%1").arg(number));
#else
    location_ = QStringLiteral("/dev/ttyS%1").arg(number - 1);
    port_.setPortName(location_);
#endif
    return std::nullopt;
}

void SerialPort::setPortPath(const QString& path) {
    port_.setPortName(path);
    location_ = path;
}

std::optional<Failure> SerialPort::open() {
    if (port_.isOpen()) {
        if (!lost_)
            return Failure{ErrorNumber::PortOpen, QStringLiteral("Port already open")};
        port_.close();
    }
    lost_ = false;
    port_.clearError();
    if (!port_.open(QIODevice::ReadWrite))
        return portFailure();
    // Line settings only hold once the device is open; a device that refuses one is not used.
    if (!port_.setBaudRate(baudRate_) || !port_.setParity(parity_) ||
        !port_.setDataBits(dataBits_) || !port_.setStopBits(stopBits_) ||
        !port_.setFlowControl(QSerialPort::NoFlowControl)) {
        const Failure failed = portFailure();
        port_.close();
        return failed;
    }
    return std::nullopt;
}

void SerialPort::close() {
    lost_ = false;
    if (port_.isOpen())
        port_.close();
    port_.clearError();
}

void SerialPort::pullInput() {
    // Between event-loop turns the bytes may still sit in the system's buffer; take them now.
    port_.waitForReadyRead(0);
    if (port_.error() == QSerialPort::TimeoutError)
        port_.clearError();
}

Expected<qint64> SerialPort::bytesWaiting() {
    if (!isOpen())
        return Failure{ErrorNumber::PortUnavailable, QStringLiteral("Port not open")};
    pullInput();
    if (lost_)
        return Failure{ErrorNumber::DeviceIo, port_.errorString()};
    return port_.bytesAvailable();
}

QByteArray SerialPort::readAll() {
    if (!isOpen())
        return {};
    pullInput();
    return port_.readAll();
}

Expected<qint64> SerialPort::write(const QByteArray& bytes) {
    if (!isOpen())
        return Failure{ErrorNumber::PortUnavailable, QStringLiteral("Port not open")};
    const qint64 written = port_.write(bytes);
    if (written < 0)
        return portFailure();
    port_.flush();
    return written;
}

void SerialPort::onError(QSerialPort::SerialPortError error) {
    // A device that went away keeps signalling readable; let go of it instead of spinning on it.
    if ((error == QSerialPort::ResourceError || error == QSerialPort::ReadError) &&
        port_.isOpen() && !lost_) {
        lost_ = true;
        // Not from inside the port's own signal: the handle goes on the next event-loop turn.
        QTimer::singleShot(0, &port_, [this] {
            if (lost_)
                port_.close();
        });
    }
}

Failure SerialPort::portFailure() const {
    int number = ErrorNumber::DeviceIo;
    switch (port_.error()) {
    case QSerialPort::DeviceNotFoundError:
        number = ErrorNumber::PortUnavailable;
        break;
    case QSerialPort::PermissionError:
    case QSerialPort::OpenError:
        number = ErrorNumber::PortOpen;
        break;
    case QSerialPort::NotOpenError:
        number = ErrorNumber::PortUnavailable;
        break;
    default:
        break;
    }
    // Qt words both a busy port (its lock is held) and a forbidden one as a permission error;
    // the operator needs to know which of the two it is.
    if (port_.error() == QSerialPort::PermissionError && !location_.isEmpty()) {
        const QByteArray path = QFile::encodeName(location_);
        if (::access(path.constData(), R_OK | W_OK) == 0)
            return {number, QStringLiteral("%1 is in use by another program").arg(location_)};
        if (errno == EACCES)
            return {number, QStringLiteral("%1: permission denied (serial ports need the "
                                           "dialout group)")
                                .arg(location_)};
    }
    return {number, port_.errorString()};
}

QStringList SerialPort::availablePorts() {
    QStringList paths;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        paths << info.systemLocation();
    const QDir dev(QStringLiteral("/dev"));
    for (const QString& name :
         dev.entryList({QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")}, QDir::System))
        paths << dev.filePath(name);
    return portChoices(paths);
}

QStringList SerialPort::portChoices(QStringList paths) {
    QStringList ports;
    paths.sort();
    paths.removeDuplicates();
    // The first nine built-in ports keep the COMn form the box has always taken.
    static const QRegularExpression builtIn(QStringLiteral("^/dev/ttyS([0-8])$"));
    for (const QString& path : paths) {
        const QRegularExpressionMatch m = builtIn.match(path);
        ports << (m.hasMatch() ? QStringLiteral("COM%1").arg(m.captured(1).toInt() + 1) : path);
    }
    return ports;
}
