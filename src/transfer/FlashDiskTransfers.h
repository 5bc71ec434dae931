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
// On the serial link alone each WRITE and READ is followed by this pause, which paces the board.
constexpr int SerialPacingMs = 50;
// A receive has no length to show: its bar counts pieces 1..99, then 0 again, and shows
// PieceCounterWraps at the end.
constexpr qint32 PieceCounterWraps = 100;
// nextByte ends one past the last byte and must still fit the 32-bit record field.
constexpr qint64 MaxFileLength = 0x7FFFFFFE;

// What a reply line is to a transfer. A file is only ever written from a line that is exactly
// one of the board's answers: a piece, 40 upper-case hex digits then "OK"; the end marker, the
// last 0 to 19 bytes as whole hex pairs then "ND"; "OK" alone. "ERROR" anywhere refuses. Any
// other line that holds "OK" or "ND" cannot be an answer (a piece cut short, a lower-case or
// odd digit, an "OK" where data must come) and ends a receive rather than corrupt its file.
enum class Reply { Error, Piece, EndMarker, BareOk, Malformed, Other };
Reply reply(QByteArrayView line);

// The bytes a piece or an end marker carries (its hex digits before the marker).
QByteArray replyBytes(QByteArrayView line);

// Two upper-case hex digits per byte, high digit first, no separators.
QByteArray hexDigits(QByteArrayView bytes);

QByteArray openCommand(const QByteArray& name, const char* mode); // FOPEN "name",mode

} // namespace flash

// File send to and receive from the board's flash disk. They are one machine because they
// share the record's fields (fileLength, nextByte, lastPieceSent) and one close routine, which
// ends both. Each call takes an event and returns the actions to carry out, in order. The
// receive router calls onSendReply while sending(), else onReceiveReply while
// receiving(). `udpOpen` tells whether the UDP socket is open: on the serial link alone
// the terminal paces its commands with a pause.
//
// Send, by its owner: click "Send": the open dialog ("Cancel" ends it), read the whole file,
//   startSend(boardFileEdit's bytes, the file's bytes or the failure to read them).
// Receive: click "Recieve": the save dialog, create the file, then startReceive(boardFileEdit's
// bytes,
//   the failure to create it, if any).
// Either: each chunk goes to the parser of the running direction; "X" is closeTransfer().
class FlashDiskTransfers {
public:
    TransferActions startSend(const QByteArray& boardName, const Expected<QByteArray>& file);
    TransferActions onSendReply(QByteArrayView line, bool udpOpen);

    TransferActions startReceive(const QByteArray& boardName,
                                 const std::optional<Failure>& targetProblem = std::nullopt);
    TransferActions onReceiveReply(QByteArrayView line, bool udpOpen);

    // "X": the close routine, also with nothing running (CLOSE still goes to the board).
    TransferActions closeTransfer();

    bool sending() const { return sending_; }
    bool receiving() const { return receiving_; }
    bool running() const { return sending_ || receiving_; }

    bool lastPieceSent() const { return lastPieceSent_; }
    bool readStarted() const { return readStarted_; }
    // Send: the file's length. Receive: the piece counter 0..99 shown on the bar.
    qint32 fileLength() const { return fileLength_; }
    qint32 nextByte() const { return nextByte_; } // 1-based index of the next byte to send
    const QByteArray& fileBytes() const { return fileBytes_; }
    // The reply handed in last: what a refused transfer was refused with.
    const QByteArray& lastReply() const { return lastReply_; }

private:
    // `whole`: the end marker came, the received file holds all of it.
    void transferClose(TransferActions& out, bool whole = false);
    // The board refused, or sent what cannot be its answer: the transfer ends with "ERROR".
    void refuse(TransferActions& out);
    void sendCommand(TransferActions& out, const QByteArray& command);

    QByteArray fileBytes_;
    QByteArray lastReply_;
    qint32 fileLength_ = 0;
    qint32 nextByte_ = 0;
    bool sending_ = false;
    bool receiving_ = false;
    bool lastPieceSent_ = false;
    bool readStarted_ = false;
};
