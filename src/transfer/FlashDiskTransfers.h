#pragma once

#include "core/Failure.h"
#include "transfer/TransferAction.h"

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

// The byte rules of the flash-disk transfers: files travel as upper-case hex digits, 21 bytes
// per WRITE towards the board and 20 per READ from it.
namespace flash {

constexpr qsizetype PieceBytes = 21; // bytes per WRITE; the last piece holds 1..21
constexpr qsizetype ReadBytes = 20;  // bytes per "READ 20"
// FilePos ends one past the last byte and must still fit the 32-bit record field.
constexpr qint64 MaxFileLength = 0x7FFFFFFE;

enum class Reply { Error, EndMarker, Ok, Other };

// "ERROR" wins over "ND", which wins over "OK"; case-sensitive, anywhere in the reply.
Reply reply(QByteArrayView reply);

// Two upper-case hex digits per byte, high digit first, no separators.
QByteArray hexDigits(QByteArrayView bytes);

// `count` bytes from the reply's hex pairs, from its first character: a pair past the end
// gives 0, a lone last character its own digit, anything but "0".."9", "A".."F" counts as 0
// (the board never sends lower case, so such a character is noise, not data).
QByteArray decodePairs(QByteArrayView reply, qsizetype count);

// Bytes carried before the end marker at 0-based position `markerPos`: half the characters,
// a half rounded to the even neighbour (41 characters give 20 bytes, 43 give 22).
qsizetype endMarkerBytes(qsizetype markerPos);

// Whether an "OK" reply carries a data piece: it starts with a hex pair ahead of its "OK".
// The board may answer FOPEN with a bare "OK" or with the first piece; only the second is
// file data.
bool carriesPiece(QByteArrayView reply);

QByteArray openCommand(const QByteArray& name, const char* mode); // FOPEN "name",mode

} // namespace flash

// File send to and receive from the board's flash disk. They are one machine because they
// share the record's fields (FileLength, FilePos, SendFilesDone) and one close routine, which
// ends both. Each call takes an event and returns the actions to carry out, in order. The
// receive router calls SEND_FILES_parser while SendFilesMode(), else LOAD_FILES_parser while
// LoadFilesMode(). `udpOpen` tells whether the UDP socket is open: on the serial link alone
// the terminal paces its commands with a pause.
//
// Send, by its owner: click "Send": the open dialog ("Cancel" ends it), read the whole file,
//   startSend(Text2's bytes, the file's bytes or the failure to read them).
// Receive: click "Recieve": the save dialog, create the file, then startReceive(Text2's bytes,
//   the failure to create it, if any).
// Either: each chunk goes to the parser of the running direction; "X" is Command5_Click().
class FlashDiskTransfers {
public:
    TransferActions startSend(const QByteArray& boardName, const Expected<QByteArray>& file);
    TransferActions SEND_FILES_parser(QByteArrayView RxData, bool udpOpen);

    TransferActions startReceive(const QByteArray& boardName,
                                 const std::optional<Failure>& targetProblem = std::nullopt);
    TransferActions LOAD_FILES_parser(QByteArrayView RxData, bool udpOpen);

    // "X": the close routine, also with nothing running (CLOSE still goes to the board).
    TransferActions Command5_Click();

    bool SendFilesMode() const { return SendFilesMode_; }
    bool LoadFilesMode() const { return LoadFilesMode_; }
    bool running() const { return SendFilesMode_ || LoadFilesMode_; }

    bool SendFilesDone() const { return SendFilesDone_; }
    bool ReadStarted() const { return ReadStarted_; }
    // Send: the file's length. Receive: the piece counter 0..99 shown on the bar.
    qint32 FileLength() const { return FileLength_; }
    qint32 FilePos() const { return FilePos_; } // 1-based index of the next byte to send
    const QByteArray& FileBytes() const { return FileBytes_; }
    // The reply handed in last: what a refused transfer was refused with.
    const QByteArray& lastReply() const { return lastReply_; }

private:
    void transferClose(TransferActions& out);
    void sendCommand(TransferActions& out, const QByteArray& command);

    QByteArray FileBytes_;
    QByteArray lastReply_;
    qint32 FileLength_ = 0;
    qint32 FilePos_ = 0;
    bool SendFilesMode_ = false;
    bool LoadFilesMode_ = false;
    bool SendFilesDone_ = false;
    bool ReadStarted_ = false;
};
