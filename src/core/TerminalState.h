#pragma once

#include "core/LogFile.h"

#include <QByteArray>
#include <array>
#include <cstdint>

// The record every procedure of the terminal shares, gathered by who uses it, so a controller
// is handed just the parts it reads and writes. Field names are the ones the rest of the program
// (and the operators' documentation) use; "Integer" fields are 16-bit, "Long" 32-bit. Byte
// strings (everything that goes to or comes from the board) are QByteArray.

// The log and the latest received chunk: every link writes them, every reply parser reads them.
struct TrafficState {
    LogFile LogFileNumber; // Terminal.log, open for the whole run
    QByteArray RxData;
};

// The command buffer and the recall position.
struct BufferState {
    static constexpr int BufferSlots = 64;

    std::array<QByteArray, BufferSlots> CmdBuffer{};
    qint16 BufferIndex = 0;
    qint16 FromBuffer = 0;
};

// The transfers; the router reads their mode flags.
struct TransferState {
    qint32 FileLength = 0;
    qint16 SendFilesMode = 0;
    qint16 LoadFilesMode = 0;
    qint16 ReadStarted = 0;
    qint16 SendFilesDone = 0;
    qint32 FilePos = 0;
    QByteArray FileBytes;
    qint16 LoadBasicMode = 0;
    qint16 SendBasicMode = 0;
    qint16 LineIndex = 0;
    qint16 LineCount = 0;
};

// The serial link: the lamp, the framed receive and whether the port is open.
struct SerialState {
    qint16 BlinkTicks = 0;
    QByteArray RtuRxBuffer;
    qint16 RtuIdleTicks = 0;
    QByteArray RtuCrcCalc;
    QByteArray RtuCrcRecv;
    qint16 RtuDataLen = 0;
    qint16 ComOpened = 0;
};

// The MODBUS tools: the reply clock and the chunk handed to the reply parser.
struct ModbusState {
    qint16 ModbusWaitReply = 0;
    QByteArray ModbusPacket;
    qint32 ModbusSendTime = 0;
};

struct TerminalState : TrafficState, BufferState, TransferState, SerialState, ModbusState {};
