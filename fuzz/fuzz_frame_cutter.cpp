// Serial garbage through the framed-receive cutter, tick by tick as the polling timer feeds it.
// Input: one address byte, then chunks, each preceded by its length byte.
#include "link/Gateway.h"
#include "modbus/Crc16.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

void check(bool condition) {
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const quint8 address = data[0];
    QByteArray buffer;
    QByteArray rxData;
    qint16 dataLen = 0;
    QByteArray crcCalc;
    QByteArray crcRecv;
    FrameCutter cutter({buffer, rxData, dataLen, crcCalc, crcRecv}, address);

    size_t at = 1;
    while (at < size) {
        const size_t len = std::min<size_t>(data[at], size - at - 1);
        const QByteArray chunk(reinterpret_cast<const char*>(data + at + 1),
                               static_cast<qsizetype>(len));
        at += len + 1;

        rxData = chunk;
        buffer += chunk;
        const qsizetype before = buffer.size();
        qsizetype routedBytes = 0;
        QList<CutAction> actions;
        const bool usedUp = cutter.run(actions);
        for (const CutAction& a : actions) {
            if (a.kind == CutAction::Kind::Route) {
                check(a.bytes.size() <= 255);
                routedBytes += a.bytes.size() + 5;
            } else {
                check(a.bytes.startsWith("\r\nError "));
            }
        }
        check(routedBytes + buffer.size() == before);
        if (usedUp) {
            check(buffer.isEmpty());
        } else {
            check(buffer.size() < 5 || buffer.size() < static_cast<quint8>(buffer.at(2)) + 5);
        }
        if (!actions.isEmpty() && actions.last().kind == CutAction::Kind::Route) {
            const bool crcMessage =
                actions.size() >= 2 &&
                actions.at(actions.size() - 2).bytes.startsWith("\r\nError CRC");
            check(crcMessage == (crcCalc != crcRecv));
            check(rxData == actions.last().bytes);
        }
    }
    return 0;
}
