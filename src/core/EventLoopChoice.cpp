#include "core/EventLoopChoice.h"

#include <QByteArray>

void useTimerFairEventLoop() {
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", QByteArrayLiteral("1"));
}
