#pragma once

#include <QString>
#include <optional>

// How the terminal picks its ports: the local UDP port drawn at every start, and the serial
// port number an operator types as "COMn". The window and the command-line client share these
// so both pick ports the same way.
namespace PortChoice {

// A local UDP port from 5500 to 6499, drawn uniformly.
QString drawLocalPort();

// The whole number after "COM" ("COM3" gives 3); the rest of the text may hold nothing but
// blanks. Nothing when there is no such number.
std::optional<int> commPortNumber(const QString& commNumber);

} // namespace PortChoice
