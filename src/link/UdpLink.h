#pragma once

#include <QObject>

class BoardLink;
struct CommandLineControls;
struct GatewayControls;
struct LinkControls;

// Connect and Disconnect of the UDP link, the connection marks, and the "Eth to MB" box that
// turns every line over UDP into an "MDC" line. The link itself (the socket, the reads, the
// sends) is the session's.
class UdpLink : public QObject {
    Q_OBJECT
public:
    UdpLink(LinkControls& link, GatewayControls& gateway, CommandLineControls& line,
            BoardLink& board, QObject* parent = nullptr);
    void connectControls();

    void connectClicked();
    void disconnectClicked();

private:
    void applyGateway();

    LinkControls& link_;
    GatewayControls& gateway_;
    CommandLineControls& line_;
    BoardLink& board_;
};
