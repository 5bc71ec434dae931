#include "app/ShutdownSignals.h"
#include "app/UDP.h"

#include <QApplication>

#include "app/StartOptions.h"

int main(int argc, char* argv[]) {
    StartOptions options;
    // Help, version and a wrong value are answered before Qt looks for a display, so they work
    // over ssh and in a package build.
    if (const auto exitCode = options.answerEarly(argc, argv))
        return *exitCode;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brenmoor"));
    if (const auto exitCode = options.settle(QApplication::arguments()))
        return *exitCode;
    QApplication::setStyle(QStringLiteral("Fusion"));
    UDP window;
    ShutdownSignals shutdown([&window] { window.closeBySignal(); });
    window.show();
    return QApplication::exec();
}
