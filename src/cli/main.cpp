// brenmoor-cli: the window's board work from a shell, with exit codes a script can trust.
#include "cli/CliRequest.h"
#include "cli/HandshakeStats.h"
#include "cli/Progress.h"
#include "cli/Report.h"
#include "cli/Runners.h"
#include "cli/Session.h"
#include "core/EventLoopChoice.h"
#include "core/LogFile.h"
#include "core/SignalPipe.h"

#include <QCoreApplication>
#include <csignal>
#include <cstdio>
#include <memory>
#include <pthread.h>

namespace {

int run(Session& s) {
    switch (s.request.command) {
    case Command::Send:
        return runSend(s);
    case Command::Upload:
        return runUpload(s);
    case Command::Download:
        return runDownload(s);
    case Command::Verify:
        return runVerify(s);
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

// SIGINT and SIGTERM are held whenever the signal pipe's handler is not in place (before it is
// set up and after it is gone), so neither ever meets its default action: a run that got one
// always ends with its code, whatever it was doing.
class HeldSignals {
public:
    HeldSignals() {
        sigemptyset(&set_);
        sigaddset(&set_, SIGINT);
        sigaddset(&set_, SIGTERM);
        hold();
    }
    void hold() { pthread_sigmask(SIG_BLOCK, &set_, nullptr); }
    void release() { pthread_sigmask(SIG_UNBLOCK, &set_, nullptr); }
    // A signal that came while held (never delivered: it dies with the process).
    int waiting() const {
        sigset_t pending;
        sigemptyset(&pending);
        sigpending(&pending);
        for (const int number : {SIGINT, SIGTERM}) {
            if (sigismember(&pending, number) == 1)
                return number;
        }
        return 0;
    }

private:
    sigset_t set_;
};

// Runs the request with the signal pipe in place; the signal that came, if any, in `signal`.
int runRequest(const CliRequest& request, LogFile* log, Report& report, HeldSignals& held,
               int& signal) {
    SignalPipe interrupt({SIGINT, SIGTERM});
    held.release(); // one that came before is handled now
    Progress progress(Progress::stderrIsTerminal(), request.quiet ? nullptr : stderr);
    HandshakeStats stats;
    int code = 0;
    {
        Session session(request, log, interrupt, report, progress, stats);
        code = run(session);
        session.awaitLineEnd();
    }
    if (request.stats)
        report.note(stats.summary());
    // The log's writer may meet a failure after the last event the session handled.
    if (log) {
        log->flush();
        if (const auto failed = log->takeFailure())
            report.note(QStringLiteral("warning: %1").arg(failed->description));
    }
    held.hold();
    interrupt.drain();
    signal = interrupt.signalNumber();
    return code;
}

} // namespace

int main(int argc, char* argv[]) {
    HeldSignals held;
    useTimerFairEventLoop();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("brenmoor-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(BRENMOOR_VERSION));

    const ParsedArguments parsed = parseArguments(QCoreApplication::arguments());
    const CliRequest& request = parsed.request;
    Report report({request.json, request.quiet, request.raw, request.timestamps});
    int code = 0;
    int signal = 0;
    switch (parsed.what) {
    case ParsedArguments::What::Help:
        std::fputs(parsed.message.toLocal8Bit().constData(), stdout);
        break;
    case ParsedArguments::What::Version:
        std::printf("brenmoor-cli %s\n", BRENMOOR_VERSION);
        break;
    case ParsedArguments::What::Usage:
        code = report.fail(ExitCode::Usage, parsed.message);
        break;
    case ParsedArguments::What::Run: {
        report.set(QStringLiteral("command"), request.commandName);
        std::unique_ptr<LogFile> log;
        if (!request.logPath.isEmpty()) {
            log = std::make_unique<LogFile>(request.logPath);
            if (const auto failed = log->open()) {
                code =
                    report.fail(ExitCode::LocalFile,
                                QStringLiteral("cannot open the log: %1").arg(failed->description));
                break;
            }
        }
        code = runRequest(request, log.get(), report, held, signal);
        break;
    }
    }
    if (signal == 0)
        signal = held.waiting();
    if (signal != 0 && code != interruptedExit(signal))
        code = report.fail(
            interruptedExit(signal),
            QStringLiteral("interrupted by %1")
                .arg(signal == SIGINT ? QStringLiteral("SIGINT") : QStringLiteral("SIGTERM")));
    if (parsed.what == ParsedArguments::What::Run)
        report.finish(code);
    return code;
}
