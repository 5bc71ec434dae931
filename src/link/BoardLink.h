#pragma once

#include "core/Failure.h"
#include "link/Gateway.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <optional>

class LogFile;
class SerialPort;
class UdpSocket;

// The two ways to reach a board.
enum class Channel { Udp, Serial };

// How a line goes out on the serial line: as it is, in a console-text frame to a MODBUS
// address, or as an "MDC" line for an intermediary board on USB that passes it on.
enum class SerialForm { Plain, Framed, Mdc };

// The one link to a board, shared by the window and the command-line client: the UDP socket
// and the serial port, the gateway forms a line takes on each, the serial poll with its idle
// drop, the framed-receive cutter, and the read of every waiting datagram. Every chunk received
// is logged as it came, then handed on twice: raw (`received`), and as board text (`boardText`:
// the chunk itself, or in console-text framing each frame's payload).
class BoardLink : public QObject {
    Q_OBJECT
public:
    static constexpr int PollIntervalMs = 20;
    static constexpr int IdleTicksToDrop = 5; // a partial frame followed by ~100 ms of silence

    // `log` may be null: nothing is logged.
    explicit BoardLink(LogFile* log = nullptr, QObject* parent = nullptr);
    ~BoardLink() override;

    // UDP: the board's address, its port and our local port, as typed. Any failure leaves the
    // socket closed.
    std::optional<Failure> openUdp(const QString& host, const QString& remotePort,
                                   const QString& localPort);
    void closeUdp();
    // Another board port on the open socket: the next datagram goes there, and datagrams from
    // there are the board's. A port that is no port leaves the old one.
    std::optional<Failure> setRemotePort(const QString& remotePort);
    bool udpOpen() const;
    quint16 localPort() const;
    // "127.0.0.1:111": where the lines go and whose datagrams are the board's replies.
    QString boardAddress() const;

    // Serial: line settings such as "9600,n,8,1", and "COMn" or a device path.
    std::optional<Failure> openSerial(const QString& settings, const QString& port);
    // Stops the poll before the port closes, so no poll runs on a closed port.
    void closeSerial();
    // Open from a successful open until closeSerial, also after the device vanished.
    bool serialOpen() const { return serialOpen_; }
    bool serialLost() const { return serialLost_; }
    // The port as the operator named it ("COM3", "/dev/ttyUSB0").
    const QString& serialPortName() const { return serialPortName_; }
    // What waits on a port just opened was sent before anything was asked: logged, not handed on.
    void discardSerialInput();

    // The Ethernet gateway: every line over UDP becomes an "MDC" line to this address.
    void setUdpGateway(const std::optional<QByteArray>& mdcAddress);
    bool udpThroughGateway() const { return udpMdcAddress_.has_value(); }
    // The serial gateway and the address typed for it (a MODBUS address for frames, the
    // address of an "MDC" line as it stands).
    void setSerialForm(SerialForm form, const QString& address);

    // A line (ending in CR LF) through the UDP link, wrapped for the Ethernet gateway; `text`
    // then holds what went out. 0 when the socket is closed; a failure when the line cannot be
    // wrapped or the datagram not sent.
    Expected<qint64> sendUdp(QByteArray& text);
    // The same on the serial port, framed or wrapped for its gateway. Every call starts the
    // framed receive clean, and pushes the next poll a full interval away.
    Expected<qint64> writeSerial(QByteArray& text);
    // A typed command line: with CR LF through the open link (serial first), then logged.
    std::optional<Failure> sendCommandLine(const QByteArray& line);
    // Exactly these bytes, no gateway: MODBUS frames and the gateways' set-up commands.
    std::optional<Failure> sendRaw(Channel channel, const QByteArray& bytes);

    // Every waiting datagram, in slices so a flood never freezes the event loop.
    void readDatagrams();
    // One serial poll; the link's timer calls it every PollIntervalMs while the port is open.
    void poll();
    bool polling() const { return pollTimer_.isActive(); }

signals:
    void received(const QByteArray& chunk, Channel from);
    // Board text for the console and the transfers. `otherSender` ("10.0.0.7:5000") names the
    // sender of a datagram that did not come from the board's address and port; it is empty
    // for the board's own text.
    void boardText(const QByteArray& text, const QString& otherSender);
    void frameError(const QByteArray& message); // framed receive: "Error ADDR/CMD/CRC" lines
    void polled();                              // every serial poll
    void wroteSerial();                         // every write to an open port
    // A datagram or a log write that failed. Not raised again while a handler of it still runs
    // (a message box lets more failures in): one report for a run of them.
    void failed(const Failure& why);
    void lost(const Failure& why); // the serial device went away
    void stateChanged();           // a link opened or closed, a gateway changed

private:
    // Logs the chunk, then hands it on.
    void deliver(const QByteArray& chunk, Channel from, const QString& otherSender);
    void handOn(const QByteArray& chunk, Channel from, const QString& otherSender);
    void cutFrames(const QByteArray& chunk);
    void restartPoll();
    void loseSerial(const Failure& why);
    void tell(const Failure& why);

    LogFile* log_;
    UdpSocket* udp_;
    std::unique_ptr<SerialPort> serial_;
    QTimer pollTimer_;
    QTimer keepReading_;
    bool resumeQueued_ = false;
    bool telling_ = false;
    bool serialOpen_ = false;
    bool serialLost_ = false;
    int idleTicks_ = 0;
    FrameCutter cutter_;
    // The last sender other than the board, and its name as boardText gives it.
    QHostAddress otherAddress_;
    quint16 otherPort_ = 0;
    QString otherName_;
    std::optional<QByteArray> udpMdcAddress_;
    SerialForm serialForm_ = SerialForm::Plain;
    QString serialAddress_;
    QString serialPortName_;
};
