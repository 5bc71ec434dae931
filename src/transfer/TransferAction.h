#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One step a transfer asks to be carried out. The transfer machines decide; the session's
// Transfers carries the steps out against a sink (the window's controls, the client's output,
// a test's record) and the transfer's local file. That keeps every byte rule of a transfer
// testable without a window, a socket, a file or a clock.
//
// Every `bytes` is the exact byte string to hand on (line ends included where they belong),
// so an owner never adds or strips anything.
struct TransferAction {
    enum class Kind {
        SendUdp,          // bytes: a line for the UDP link (goes out only while it is open)
        SendSerial,       // bytes: a line for the serial port (goes out only while it is open)
        SetCommandLine,   // bytes: becomes the whole text of the command line
        FocusCommandLine, // the operator is left in the command line
        ConsoleAppend,    // bytes: appended to the console
        BoardMessage,     // bytes: a reply that answers nothing, shown on a line of its own
        ConsoleReplace,   // bytes: replaces the whole console text
        ConsoleToEnd,     // put the console's caret at the end of its text
        Log,              // bytes: appended to Terminal.log
        AppendFile,       // bytes: appended to the transfer's local file
        CloseFile,        // close the transfer's local file; value 1: the file came whole
        Pause,            // value: block the thread this many milliseconds (replies wait)
        ProgressText,     // text: shown on the progress bar
        ProgressMax,      // value: the progress bar's maximum
        ProgressValue,    // value: the progress bar's value (may be one above the maximum)
        ErrorBox,         // value: error number, text: description ("Error#N" box)
        Finished,         // the transfer has ended; `end` says how
    };
    enum class End {
        Completed, // the whole program or file went through
        Refused,   // the board answered ERROR or asked for a login
        Stopped,   // the operator or another transfer ended it
    };

    Kind kind;
    QByteArray bytes;
    qint64 value = 0;
    QString text;
    End end = End::Completed;

    bool operator==(const TransferAction&) const = default;
};

using TransferActions = QList<TransferAction>;

// Builders, so the machines read like the steps they carry out.
namespace act {
using K = TransferAction::Kind;
inline TransferAction make(K kind, const QByteArray& bytes = {}, qint64 value = 0,
                           const QString& text = {},
                           TransferAction::End end = TransferAction::End::Completed) {
    return TransferAction{kind, bytes, value, text, end};
}
inline TransferAction sendUdp(const QByteArray& b) {
    return make(K::SendUdp, b);
}
inline TransferAction sendSerial(const QByteArray& b) {
    return make(K::SendSerial, b);
}
inline TransferAction commandLine(const QByteArray& b) {
    return make(K::SetCommandLine, b);
}
inline TransferAction focusCommandLine() {
    return make(K::FocusCommandLine);
}
inline TransferAction consoleAppend(const QByteArray& b) {
    return make(K::ConsoleAppend, b);
}
inline TransferAction boardMessage(const QByteArray& b) {
    return make(K::BoardMessage, b);
}
inline TransferAction consoleReplace(const QByteArray& b) {
    return make(K::ConsoleReplace, b);
}
inline TransferAction consoleToEnd() {
    return make(K::ConsoleToEnd);
}
inline TransferAction logLine(const QByteArray& b) {
    return make(K::Log, b);
}
inline TransferAction appendFile(const QByteArray& b) {
    return make(K::AppendFile, b);
}
inline TransferAction closeFile(bool whole = false) {
    return make(K::CloseFile, {}, whole ? 1 : 0);
}
inline TransferAction pause(int ms) {
    return make(K::Pause, {}, ms);
}
inline TransferAction progressText(const QString& t) {
    return make(K::ProgressText, {}, 0, t);
}
inline TransferAction progressMax(qint64 v) {
    return make(K::ProgressMax, {}, v);
}
inline TransferAction progressValue(qint64 v) {
    return make(K::ProgressValue, {}, v);
}
inline TransferAction errorBox(int number, const QString& description) {
    return make(K::ErrorBox, {}, number, description);
}
inline TransferAction finished(TransferAction::End how) {
    return make(K::Finished, {}, 0, {}, how);
}
} // namespace act
