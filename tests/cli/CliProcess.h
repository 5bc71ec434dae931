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

// Runs the real brenmoor-cli as a child process. The test's own event loop keeps running while
// it works, so a board simulator living in the test answers it. `whileRunning` is called every
// 20 ms until it returns false (a test that sends the client a signal once it is mid-transfer).
inline CliResult runCli(const QStringList& arguments,
                        const std::function<bool(QProcess&)>& whileRunning = {}) {
    QProcess process;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer poll;
    bool polling = bool(whileRunning);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (polling && process.state() == QProcess::Running)
            polling = whileRunning(process);
    });
    QTimer::singleShot(90000, &loop, &QEventLoop::quit);
    process.start(QStringLiteral(BRENMOOR_CLI_PATH), arguments);
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
