#include "app/UDP.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brenmoor"));
    UDP window;
    window.show();
    return QApplication::exec();
}
