#pragma once

#include "core/LogFile.h"

#include <QByteArray>
#include <array>
#include <cstdint>

// What the window's controllers share, gathered by who uses it, so a controller is handed just
// the parts it reads and writes. The transfers and the link keep their own state, and the bytes
// received travel as arguments. Field names are the ones the rest of the program
// (and the operators' documentation) use; "Integer" fields are 16-bit, "Long" 32-bit. Byte
// strings (everything that goes to or comes from the board) are QByteArray.

// The log: the link writes every chunk into it, the send path every typed line.
struct TrafficState {
    LogFile log; // Terminal.log, open for the whole run
};

// The command buffer and the recall position.
struct BufferState {
    static constexpr int BufferSlots = 64;

    std::array<QByteArray, BufferSlots> commandLines{};
    qint16 recallIndex = 0;
    qint16 lineFromBuffer = 0;
};

// The MODBUS tools: the reply clock the builder starts and the parser reads.
struct ModbusState {
    qint16 replyAwaited = 0;
    qint32 requestSentAt = 0;
};

struct TerminalState : TrafficState, BufferState, ModbusState {};
