// Serial garbage through the framed-receive cutter, as the link feeds it: each chunk joins the
// buffer and passes run until one waits. Every byte is either routed in a frame or still waits;
// a frame is routed exactly as it stood in the buffer; what waits never grows past one frame.
// Input: the board's address byte, then chunks, each after its length byte (255: a clear, as
// after a send or a silence).
#include "FuzzInput.h"

#include "link/Gateway.h"
#include "modbus/Crc16.h"

namespace {

constexpr qsizetype LongestFrame = 255 + 5;

void cutAll(FrameCutter& cutter, quint8 address) {
    for (;;) {
        const QByteArray before = cutter.waiting();
        QList<CutAction> actions;
        const FrameCutter::Stop stop = cutter.pass(address, actions);
        const bool addressWrong = before.isEmpty() || quint8(before[0]) != address;
        const bool commandWrong = before.size() < 2 || before[1] != 'C';
        qsizetype at = 0;
        if (addressWrong)
            check(actions.value(at++).bytes.startsWith("\r\nError ADDR  >> "));
        if (commandWrong)
            check(actions.value(at++).bytes.startsWith("\r\nError CMD  >> "));
        if (stop == FrameCutter::Stop::Waiting) {
            check(at == actions.size());
            check(before.size() < 5 || before.size() < quint8(before[2]) + 5);
            check(cutter.waiting() == before);
            check(before.size() < LongestFrame);
            return;
        }
        const qsizetype n = quint8(before[2]);
        const QByteArray frame = before.first(n + 5);
        const bool crcGood = crc16Value(frame) == 0;
        if (!crcGood)
            check(actions.value(at++) ==
                  CutAction{CutAction::Kind::Console, "\r\nError CRC  >> " + frame.mid(3, n)});
        check(actions.size() == at + 1);
        check(actions.last() == CutAction{CutAction::Kind::Route, frame.mid(3, n)});
        check(cutter.waiting() == before.mid(n + 5));
        if (cutter.empty())
            return;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const quint8 address = data[0];
    const QByteArray input = inputBytes(data + 1, size - 1);
    FrameCutter cutter;
    qsizetype at = 0;
    while (at < input.size()) {
        const quint8 len = quint8(input[at]);
        if (len == 255) {
            cutter.clear();
            check(cutter.empty());
            ++at;
            continue;
        }
        const QByteArray chunk = input.mid(at + 1, len);
        at += len + 1;
        cutter.add(chunk);
        cutAll(cutter, address);
    }
    return 0;
}
