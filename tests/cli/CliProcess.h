#pragma once

#include <QByteArray>
#include <QEventLoop>
#include <QProcess>
#include <QStringList>
#include <QTimer>
#include <functional>

struct CliResult {
    int exitCode = -1; // -1: crashed or killed
    QByteArray out;
    QByteArray err;
};

struct CliRun {
    // Called every 20 ms until it returns false (a test that sends the client a signal once it
    // is mid-transfer).
    std::function<bool(QProcess&)> whileRunning;
    QString workDir;       // empty: the test's own
    qint64* pid = nullptr; // set once the client runs, before any of its bytes can arrive
};

// Runs the real brenmoor-cli as a child process. The test's own event loop keeps running while
// it works, so a board simulator living in the test answers it.
inline CliResult runCli(const QStringList& arguments, const CliRun& how) {
    QProcess process;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer poll;
    bool polling = bool(how.whileRunning);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (polling && process.state() == QProcess::Running)
            polling = how.whileRunning(process);
    });
    QTimer::singleShot(90000, &loop, &QEventLoop::quit);
    process.setWorkingDirectory(how.workDir);
    process.start(QStringLiteral(BRENMOOR_CLI_PATH), arguments);
    if (how.pid && process.waitForStarted())
        *how.pid = process.processId();
    poll.start(20);
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

inline CliResult runCli(const QStringList& arguments,
                        const std::function<bool(QProcess&)>& whileRunning = {}) {
    return runCli(arguments, CliRun{whileRunning, {}, nullptr});
}
