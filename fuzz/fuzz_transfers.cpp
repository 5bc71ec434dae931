// The four transfer machines on any replies: no crash, no byte into a closed file, and a
// receive never writes more than a piece (20 bytes) or an end marker's count per reply.
#include "transfer/BasicTransfers.h"
#include "transfer/FlashDiskTransfers.h"

#include <cstddef>
#include <cstdint>

namespace {

void check(bool condition) {
    if (!condition)
        __builtin_trap();
}

struct Sink {
    bool fileOpen = false;
    void take(const TransferActions& actions, qsizetype maxWrite) {
        for (const TransferAction& a : actions) {
            if (a.kind == TransferAction::Kind::AppendFile)
                check(fileOpen && a.bytes.size() <= maxWrite);
            if (a.kind == TransferAction::Kind::CloseFile)
                fileOpen = false;
        }
    }
};

} // namespace

// Input: a control byte picks the event, the bytes up to the next 0xFE are the reply.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QList<QByteArray> events = input.split('\xfe');

    BasicTransfers basic;
    FlashDiskTransfers flash;
    Sink basicFile; // the program file and the flash-disk file are two files
    Sink flashFile;
    for (const QByteArray& event : events) {
        if (event.isEmpty())
            continue;
        const QByteArray reply = event.mid(1);
        switch (quint8(event[0]) % 10) {
        case 0:
            basicFile.take(basic.startUpload(reply), 0);
            break;
        case 1:
            basicFile.take(basic.closeProgramFile(), 0); // before the save dialog
            basicFile.fileOpen = true;
            basicFile.take(basic.startDownload(), 0);
            break;
        case 2:
            basicFile.take(basic.nextLine(), 0);
            break;
        case 3:
            flashFile.take(flash.startSend("F", reply), 0);
            break;
        case 4:
            flashFile.fileOpen = true;
            flashFile.take(flash.startReceive("F"), 0);
            break;
        case 5:
            flashFile.take(flash.closeTransfer(), 0);
            break;
        default:
            // The receive router's order.
            if (basic.downloading())
                basicFile.take(basic.onListingLine(reply), reply.size());
            else if (basic.uploading())
                basicFile.take(basic.onUploadReply(reply), 0);
            else if (flash.sending())
                flashFile.take(flash.onSendReply(reply, event[0] & 1), 0);
            else if (flash.receiving())
                flashFile.take(flash.onReceiveReply(reply, event[0] & 1),
                               qMax<qsizetype>(flash::ReadBytes, (reply.size() + 1) / 2 + 1));
            break;
        }
        check(basic.lineSent() <= basic.lineCount());
        check(!flash.sending() || flash.nextByte() <= flash.fileBytes().size() + 1);
    }
    return 0;
}
