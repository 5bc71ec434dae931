// brenmoor-cli: the window's board work from a shell, with exit codes a script can trust.
#include "cli/CliRequest.h"
#include "cli/HandshakeStats.h"
#include "cli/Progress.h"
#include "cli/Runners.h"
#include "cli/Session.h"
#include "core/LogFile.h"
#include "core/SignalPipe.h"

#include <QCoreApplication>
#include <csignal>
#include <cstdio>
#include <memory>

namespace {

int run(Session& s) {
    switch (s.request.command) {
    case Command::Send:
        return runSend(s);
    case Command::Upload:
        return runUpload(s);
    case Command::Download:
        return runDownload(s);
    case Command::New:
    case Command::Status:
        return runBoardCommand(s);
    case Command::Put:
        return runPut(s);
    case Command::Get:
        return runGet(s);
    case Command::Modbus:
        return runModbus(s);
    case Command::Monitor:
        return runMonitor(s);
    }
    return int(ExitCode::Usage);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("brenmoor-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(BRENMOOR_VERSION));

    const ParsedArguments parsed = parseArguments(QCoreApplication::arguments());
    switch (parsed.what) {
    case ParsedArguments::What::Help:
        std::fputs(parsed.message.toLocal8Bit().constData(), stdout);
        return 0;
    case ParsedArguments::What::Version:
        std::printf("brenmoor-cli %s\n", BRENMOOR_VERSION);
        return 0;
    case ParsedArguments::What::Usage:
        return Session::fail(ExitCode::Usage, parsed.message);
    case ParsedArguments::What::Run:
        break;
    }

    const CliRequest& request = parsed.request;
    std::unique_ptr<LogFile> log;
    if (!request.logPath.isEmpty()) {
        log = std::make_unique<LogFile>(request.logPath);
        if (const auto failed = log->open())
            return Session::fail(
                ExitCode::LocalFile,
                QStringLiteral("cannot open the log: %1").arg(failed->description));
    }
    SignalPipe interrupt({SIGINT, SIGTERM});
    Progress progress(Progress::stderrIsTerminal());
    HandshakeStats stats;
    int code = 0;
    {
        Session session(request, log.get(), interrupt, progress, stats);
        code = run(session);
        session.awaitLineEnd();
    }
    if (request.stats)
        Session::note(stats.summary());
    return code;
}
