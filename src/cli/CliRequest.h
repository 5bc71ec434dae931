#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// What the command line asks for, checked and complete: the runners never look at the
// arguments again.

struct LinkSpec {
    enum class Kind { Udp, Serial };
    Kind kind = Kind::Udp;

    // UDP: the board's address as typed (the socket decides whether it is one), its port and
    // our local port; an empty local port is drawn the way the window draws it.
    QString host;
    quint16 remotePort = 111;
    std::optional<quint16> localPort;

    // Serial: a device path, or port n of "COMn" (the window's numbering), and the speed.
    QString portPath;
    int commNumber = 0;
    qint32 speed = 9600;

    // Gateways, as the window's check boxes set them: console-text frames to the serial
    // address frameAddress, or "MDC" lines to the address viaUsb, typed text kept as it is.
    bool framed = false;
    int frameAddress = 16;
    std::optional<QByteArray> viaUsb;
};

enum class Command { Send, Upload, Download, Verify, New, Status, Put, Get, Modbus, Monitor };

struct CliRequest {
    Command command = Command::Status;
    QString commandName; // as typed: "upload"
    QStringList args;    // the command's own arguments, in order
    LinkSpec link;
    QString logPath; // empty: no log
    int timeoutMs = 5000;
    int quietMs = 300;
    bool hex = false;        // monitor --hex
    bool quiet = false;      // no progress, no summary
    bool json = false;       // one JSON object on standard output sums the run up
    bool raw = false;        // board text as it came, line ends untouched
    bool stats = false;      // print the client's own time per handshake at the end
    bool timestamps = false; // send, monitor: each printed line starts with its time
    QByteArray modbusFrame;  // modbus: the request, built and checked already
    int everyMs = 0;         // modbus --every: the polling period; 0 for one request
    qint64 count = 0;        // modbus --count: the polls; 0 until a signal ends the run
    QString csvPath;         // modbus --csv: the polls as the trend window exports them
};

struct ParsedArguments {
    enum class What { Run, Help, Version, Usage };
    What what = What::Usage;
    CliRequest request;
    QString message; // Help: the page; Usage: one line saying what is wrong
};

// arguments[0] is the program's name, as QCoreApplication::arguments() gives it.
ParsedArguments parseArguments(const QStringList& arguments);

// "HOST[:PORT]" and "PATH[:SPEED]" into the link; a message when they cannot be one.
std::optional<QString> parseUdpLink(const QString& text, LinkSpec& link);
std::optional<QString> parseSerialLink(const QString& text, LinkSpec& link);
