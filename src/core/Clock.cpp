#include "core/Clock.h"

#include <QDateTime>
#include <chrono>

qint64 Clock::wallMs() {
    return QDateTime::currentMSecsSinceEpoch();
}

qint64 Clock::steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
