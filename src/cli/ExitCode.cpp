#include "cli/ExitCode.h"

int interruptedExit(int signalNumber) {
    return 128 + signalNumber;
}

QString exitCodeTable() {
    return QStringLiteral(
        "  0    done (verify: the board holds the file)\n"
        "  1    usage: the command line is wrong, or an option does not apply to the\n"
        "       command (nothing was sent)\n"
        "  2    the link could not be opened, or was lost (with the system's reason)\n"
        "  3    the board did not answer within --timeout\n"
        "  4    the board refused: ERROR, a login prompt, a MODBUS exception or a reply\n"
        "       that does not check; verify: the listing differs from the file\n"
        "  5    a local file could not be read or written\n"
        "  130  interrupted by Ctrl+C (143: SIGTERM), whatever the run was doing; a\n"
        "       running transfer was closed first\n");
}
