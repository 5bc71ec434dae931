#include "link/PortChoice.h"

#include <QRandomGenerator>
#include <cmath>

QString PortChoice::drawLocalPort() {
    return QString::number(5500 + QRandomGenerator::global()->bounded(1000));
}

std::optional<int> PortChoice::commPortNumber(const QString& commNumber) {
    bool ok = false;
    const double value = commNumber.mid(3).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > 32767.0)
        return std::nullopt;
    return static_cast<int>(std::nearbyint(value));
}
