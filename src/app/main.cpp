#include "app/UDP.h"
#include "core/SignalPipe.h"

#include <QApplication>
#include <csignal>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brenmoor"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    UDP window;
    // A session that ends the program with a signal gets the shut-down of a closed window:
    // the command buffer typed since start is saved.
    SignalPipe shutdown({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&shutdown, &SignalPipe::raised, &window, &UDP::closeBySignal);
    window.show();
    return QApplication::exec();
}
