#include "app/ShutdownSignals.h"
#include "app/UDP.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brenmoor"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    UDP window;
    ShutdownSignals shutdown([&window] { window.closeBySignal(); });
    window.show();
    return QApplication::exec();
}
