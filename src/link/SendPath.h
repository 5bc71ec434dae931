#pragma once

class BoardLink;
class ConsoleModel;
struct CommandLineControls;

// Sends the command line over the link that is up, logs it, echoes it and empties the line.
class SendPath {
public:
    SendPath(CommandLineControls& line, BoardLink& board, ConsoleModel& console)
        : line_(line), board_(board), console_(console) {}

    void sendTypedLine();

private:
    CommandLineControls& line_;
    BoardLink& board_;
    ConsoleModel& console_;
};
