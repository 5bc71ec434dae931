#pragma once

#include <QtGlobal>
#include <functional>

// A time source in milliseconds. Whatever waits or stamps takes one, so tests can move time
// by hand instead of sleeping.
using MsClock = std::function<qint64()>;

namespace Clock {
// Milliseconds since the epoch: what the console shows as local time and the CSV records.
qint64 wallMs();
// A monotonic count: what waits and reply times are measured with, never set back.
qint64 steadyMs();
} // namespace Clock
