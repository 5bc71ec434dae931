#pragma once

#include <QByteArray>
#include <QString>

struct Controls;
struct TerminalState;

// The steps of start-up and shut-down that touch files; the window runs them in order.
namespace Startup {

// A private address of a board on the local network, offered when terminal.ini has none.
inline constexpr const char* DefaultBoardAddress = "192.168.0.100";
inline constexpr const char* LogBanner = "START Brenmoor V4.1";

// Fills CmdBuffer from command.ini, or creates the file with 64 empty lines when missing.
// An existing file that cannot be read leaves the buffer empty.
void loadCommandBuffer(TerminalState& s);
// Fills ComboRemoteIP from terminal.ini (or the default address) and selects entry 0.
void loadHostList(Controls& c);
// A port from 5500 to 6499, drawn uniformly.
QString drawLocalPort();
// Opens Terminal.log and writes the banner and the date-time line. On failure returns false and
// sets number and description for the error box.
bool openLog(TerminalState& s, int* number, QString* description);
// Writes command.ini (64 lines). Returns false when it could not be written.
bool saveCommandBuffer(const TerminalState& s);

} // namespace Startup
