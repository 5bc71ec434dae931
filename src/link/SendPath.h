#pragma once

#include <QByteArray>

class BoardLink;
class ConsoleModel;
struct CommandLineControls;

// Sends the command line over the link that is up, logs it, echoes it and empties the line.
class SendPath {
public:
    SendPath(CommandLineControls& line, BoardLink& board, ConsoleModel& console)
        : line_(line), board_(board), console_(console) {}

    // Returns the line as it went out, without its line end.
    QByteArray sendTypedLine();

private:
    CommandLineControls& line_;
    BoardLink& board_;
    ConsoleModel& console_;
};
