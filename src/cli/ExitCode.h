#pragma once

#include <QString>

// The exit codes a script can trust; --help and the README print the same table.
enum class ExitCode : int {
    Done = 0,
    Usage = 1,      // the command line is wrong
    LinkFailed = 2, // the link could not be opened, or was lost
    Timeout = 3,    // the board did not answer in time
    Refused = 4,    // the board refused: ERROR, a login prompt, a MODBUS exception or bad reply;
                    // verify: the board's listing is not the file
    LocalFile = 5,  // a local file could not be read or written
};

// A signal ends the program with 128 + its number (130 for Ctrl+C, 143 for SIGTERM), after the
// transfer has been closed.
int interruptedExit(int signalNumber);

// The table for --help and the README, one code a line.
QString exitCodeTable();
