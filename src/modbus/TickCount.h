#pragma once

#include <QtGlobal>
#include <chrono>

// The millisecond tick count the request builder stamps a frame with and the reply parser
// measures from: monotonic, so a clock change never gives a negative reply time. It is kept in
// 32 bits like the stamp it fills and wraps after about 49 days; the difference is taken modulo
// 2^32, so a reply that straddles the wrap still gets its true time.
namespace TickCount {

inline qint32 now() {
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<qint32>(static_cast<quint32>(ms));
}

inline qint64 since(qint32 stamp) {
    return static_cast<qint64>(static_cast<quint32>(now()) - static_cast<quint32>(stamp));
}

} // namespace TickCount
