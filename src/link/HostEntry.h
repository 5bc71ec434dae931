#pragma once

#include <QString>
#include <optional>

// A board address as typed into the host box or after --udp: the address alone, or the address
// and the board's port ("127.0.0.1:1111"), so a host list can name a board that does not
// listen on the usual port. Text with more than one colon is an IPv6 address: it has no port.
struct HostEntry {
    QString host;
    std::optional<QString> port; // as typed; the socket decides whether it is a port
};

HostEntry splitHostEntry(const QString& text);
