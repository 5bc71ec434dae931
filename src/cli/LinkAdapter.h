#pragma once

#include "cli/CliRequest.h"
#include "core/Failure.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <memory>

class LogFile;
class SerialPort;
class UdpSocket;

// The one link of a run, on the window's own socket and port components and gateway formats,
// so every byte on the wire is what the window would send. Received bytes are logged as they
// come and handed on twice: raw, and as board text (in console-text framing, the payloads of
// the frames cut from them).
class LinkAdapter : public QObject {
    Q_OBJECT
public:
    // Failure numbers of sends the gateway cannot carry; any other failure is the link's.
    static constexpr int Unwrappable = ErrorNumber::InvalidSetting;

    LinkAdapter(const LinkSpec& spec, LogFile* log, QObject* parent = nullptr);
    ~LinkAdapter() override;

    std::optional<Failure> open();
    bool udpOpen() const;
    // "UDP 10.0.0.5:111 from local port 5812", "serial /dev/ttyUSB0 at 9600 baud".
    QString describe() const;

    // UDP_Send and WriteCOM32: each sends only while its own link is open, wrapped for the
    // gateway the options chose.
    std::optional<Failure> udpSend(QByteArray text);
    std::optional<Failure> writeCom32(QByteArray text);
    // A line (with its CR LF) through whichever link is open.
    std::optional<Failure> sendLine(const QByteArray& line);
    // Exactly these bytes, no gateway: MODBUS requests go out as built.
    std::optional<Failure> sendRaw(const QByteArray& bytes);

signals:
    void chunkReceived(const QByteArray& chunk);
    void textReceived(const QByteArray& text);
    void warning(const QString& text);
    void lost(const Failure& why);

private:
    std::optional<Failure> openUdp();
    std::optional<Failure> openSerial();
    void readDatagrams();
    void pollSerial();
    void received(const QByteArray& chunk);
    void cutFrames(const QByteArray& chunk);

    LinkSpec spec_;
    LogFile* log_;
    UdpSocket* udp_ = nullptr;
    std::unique_ptr<SerialPort> serial_;
    QTimer poll_;
    bool serialOpen_ = false;
    bool lost_ = false;

    // The framed receive's fields, kept across polls as the window keeps them.
    QByteArray RtuRxBuffer, RxData, RtuCrcCalc, RtuCrcRecv;
    qint16 RtuDataLen = 0;
    int RtuIdleTicks = 0;
};
