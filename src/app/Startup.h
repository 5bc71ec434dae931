#pragma once

#include "core/Failure.h"

#include <QByteArray>
#include <QString>
#include <optional>

struct BufferState;
struct LinkControls;
struct TrafficState;

// The steps of start-up and shut-down that touch files; the window runs them in order.
namespace Startup {

// A private address of a board on the local network, offered when terminal.ini has none.
inline constexpr const char* DefaultBoardAddress = "192.168.0.100";
inline constexpr const char* LogBanner = "START Brenmoor V4.1";

// Fills commandLines from command.ini, or creates the file with 64 empty lines when missing.
// An existing file that cannot be read leaves the buffer empty.
void loadCommandBuffer(BufferState& s);
// Fills hostCombo from terminal.ini (or the default address) and selects entry 0.
void loadHostList(LinkControls& c);
// Opens Terminal.log and hands it the banner and the date-time line; returns why it could not
// be opened. A write that fails later is told by the link, as every failing write of the log.
std::optional<Failure> openLog(TrafficState& s);
// Writes command.ini (64 lines).
std::optional<Failure> saveCommandBuffer(const BufferState& s);

} // namespace Startup
