#pragma once

#include "transfer/TransferSink.h"

class ConsoleModel;
class Dialogs;
class TextProgressBar;
struct CommandLineControls;

// The window's side of the transfers: their lines go out on the link, their texts into the
// command line, the console and the "Flash disk" progress bar, their failures into an error
// box. Board text no transfer takes is appended to the console.
class WindowSink : public BoardSink {
public:
    WindowSink(BoardLink& link, LogFile* log, CommandLineControls& line, ConsoleModel& console,
               Dialogs& dialogs, TextProgressBar* bar)
        : BoardSink(link, log), line_(line), console_(console), dialogs_(dialogs), bar_(bar) {}

    void boardText(const QByteArray& text) override;
    void setCommandLine(const QByteArray& text) override;
    void focusCommandLine() override;
    void consoleAppend(const QByteArray& text) override;
    void boardMessage(const QByteArray& text) override;
    void consoleReplace(const QByteArray& text) override;
    void consoleToEnd() override;
    void progressText(const QString& text) override;
    void progressMax(qint64 value) override;
    void progressValue(qint64 value) override;
    void errorBox(const Failure& failure) override;
    void notice(const QString& text) override;

private:
    CommandLineControls& line_;
    ConsoleModel& console_;
    Dialogs& dialogs_;
    TextProgressBar* bar_;
};
