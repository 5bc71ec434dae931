#pragma once

#include "core/Failure.h"
#include "transfer/TransferAction.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <optional>

// The byte rules of the BASIC program transfers, apart so the command-line client and the
// tests use exactly what the window uses.
namespace basic {

constexpr qsizetype MaxProgramLines = 2048;
// The pause before the first line of an upload and before LIST: the board settles first.
constexpr int StartPauseMs = 100;
// A line that starts with "0" loses up to this many of them, and then keeps at most
// ShortenedLineChars characters.
constexpr int MaxDroppedZeros = 3;
constexpr qsizetype ShortenedLineChars = 100;
// The console shows this much of the first line sent.
constexpr qsizetype FirstLineEchoChars = 5;

// What a reply to an uploaded line or to LIST means. Tests are case-sensitive substring tests,
// the way the board's replies have always been read.
enum class Reply { Error, LoginPrompt, Ok, Other };

// Upload: "ERROR" anywhere wins over "OK" anywhere (a refused line is refused even when the
// board's echo holds OK); everything else is shown and waited past.
Reply uploadReply(QByteArrayView reply);

// Download, a reply line at a time: a line that starts with a number is program text whatever
// it holds; otherwise a login or password prompt or "ERROR" refuses, and "OK" alone on its line
// closes the listing.
Reply downloadReply(QByteArrayView line);

// Up to three leading "0" are dropped from a line; a line that lost one keeps at most 100
// characters. Boards take the line number as typed and "0010" would not be line 10.
QByteArray dropLeadingZeros(QByteArray line);

// The lines of a .bas file as they are sent: CR LF, a lone CR and a lone LF each end a line
// (a file saved by any editor gives its lines, never one giant line), empty lines are kept,
// the zero rule is applied. More than MaxProgramLines lines is a failure.
Expected<QList<QByteArray>> readProgram(QByteArrayView fileBytes);

// A fixed board command (NEW, STATUS) on both links; the board's answer is ordinary console
// text.
TransferActions boardCommand(const QByteArray& word);

} // namespace basic

// The BASIC program upload and download. They are one machine because they share the
// program file and end each other: an upload that starts ends a download, a download that
// ends takes a waiting upload with it. Each call takes an event (a click, a received chunk)
// and returns the actions to carry out, in order. `uploading()` and `downloading()` say
// which reply handler the receive router must call; onListingLine comes first.
//
// Upload, by its owner:
//   click "Download": a link must be open; closeProgramFile(); the open dialog ("Cancel" ends
//   it); then startUpload(the file's bytes or the failure to read them).
//   each chunk while uploading(): onUploadReply(chunk).
//   ">>": nextLine().  "X": stop().
// Download:
//   click "Save ": a link must be open; closeProgramFile(); the save dialog; create the file,
//   then startDownload(the failure to create it, if any).
//   each chunk while downloading(): onListingLine(chunk).
class BasicTransfers {
public:
    // Before the dialog of either button: a running download is ended and its file closed, so
    // nothing it receives later is written anywhere.
    TransferActions closeProgramFile();

    TransferActions startUpload(const Expected<QByteArray>& programFile);
    TransferActions onUploadReply(QByteArrayView line);
    TransferActions nextLine(); // ">>": the next line without waiting for a reply
    // "X": the upload stops where it stands, and so does a download whose end never came.
    TransferActions stop();

    TransferActions startDownload(const std::optional<Failure>& targetProblem = std::nullopt);
    TransferActions onListingLine(QByteArrayView line);
    // The LF of a CR LF that came apart from its line: the listing keeps every byte.
    TransferActions downloadLineEnd(QByteArrayView lineEnd);
    // The start of a line the board has not ended yet: a login prompt refuses at once.
    TransferActions downloadPending(QByteArrayView start);

    bool uploading() const { return uploading_; }
    bool downloading() const { return downloading_; }
    bool running() const { return uploading_ || downloading_; }

    qint16 lineSent() const { return lineSent_; } // the line sent last, 0 when none
    // The reply handed in last: what a refused transfer was refused with.
    const QByteArray& lastReply() const { return lastReply_; }
    qint16 lineCount() const { return lineCount_; }

private:
    void sendNextLine(TransferActions& out);
    void completeUpload(TransferActions& out);
    // `whole`: the listing's end came, the file holds all of it.
    void endDownload(TransferActions& out, bool whole = false);
    void completeDownload(TransferActions& out);
    void refuseDownload(TransferActions& out, const QByteArray& why);

    // Index 0 stays empty so lineSent counts lines from 1, as the console and the board do.
    QList<QByteArray> programLines_;
    qint16 lineSent_ = 0;
    qint16 lineCount_ = 0;
    bool uploading_ = false;
    bool downloading_ = false;
    QByteArray lastReply_;
    qsizetype listedLines_ = 0;
    qint64 listedBytes_ = 0;
};
