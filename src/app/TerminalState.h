#pragma once

#include "app/LogFile.h"

#include <QByteArray>
#include <array>
#include <cstdint>

// The record every procedure of the terminal shares. Field names are the ones the rest of the
// program (and the operators' documentation) use; "Integer" fields are 16-bit, "Long" 32-bit.
// Byte strings (everything that goes to or comes from the board) are QByteArray.
struct TerminalState {
    static constexpr int BufferSlots = 64;

    LogFile LogFileNumber; // Terminal.log, open for the whole run
    std::array<QByteArray, BufferSlots> CmdBuffer{};
    qint16 BufferIndex = 0;
    qint16 FromBuffer = 0;
    qint32 FileLength = 0;
    qint16 SendFilesMode = 0;
    qint16 LoadFilesMode = 0;
    qint16 ReadStarted = 0;
    qint16 ModbusWaitReply = 0;
    qint16 SendFilesDone = 0;
    qint32 FilePos = 0;
    QByteArray FileBytes;
    qint16 LoadBasicMode = 0;
    qint16 SendBasicMode = 0;
    qint16 LineIndex = 0;
    qint16 LineCount = 0;
    qint16 BlinkTicks = 0;
    QByteArray RtuRxBuffer;
    qint16 RtuIdleTicks = 0;
    QByteArray RxData;
    QByteArray ModbusPacket;
    QByteArray RtuCrcCalc;
    QByteArray RtuCrcRecv;
    qint16 RtuDataLen = 0;
    qint16 ComOpened = 0;
    qint32 ModbusSendTime = 0;
};
