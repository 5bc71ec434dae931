#include "app/TerminalWindow.h"
#include "core/EventLoopChoice.h"
#include "core/SignalPipe.h"

#include <QApplication>
#include <csignal>

#include "app/StartOptions.h"

int main(int argc, char* argv[]) {
    StartOptions options;
    // Help, version and a wrong value are answered before Qt looks for a display, so they work
    // over ssh and in a package build.
    if (const auto exitCode = options.answerEarly(argc, argv))
        return *exitCode;
    useTimerFairEventLoop();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brenmoor"));
    if (const auto exitCode = options.settle(QApplication::arguments()))
        return *exitCode;
    QApplication::setStyle(QStringLiteral("Fusion"));
    TerminalWindow window;
    // A session that ends the program with a signal gets the shut-down of a closed window:
    // the command buffer typed since start is saved.
    SignalPipe shutdown({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&shutdown, &SignalPipe::raised, &window, &TerminalWindow::closeBySignal);
    window.show();
    return QApplication::exec();
}
