#pragma once

#include "core/Failure.h"

#include <QByteArray>
#include <functional>
#include <optional>

// The UDP socket and the serial port as the MODBUS tools use them: bytes go out exactly as
// given, never wrapped for a gateway. The window wires these to the link components.
struct RawLinks {
    std::function<bool()> socketOpen;
    std::function<std::optional<Failure>(const QByteArray&)> sendDatagram;
    std::function<bool()> portOpen;
    std::function<std::optional<Failure>(const QByteArray&)> writePort;
};
