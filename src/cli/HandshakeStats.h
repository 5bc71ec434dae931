#pragma once

#include <QList>
#include <QString>
#include <algorithm>

// The client's own time per handshake: from the moment a reply's last byte was read to the
// moment the next command was handed to the link, pauses the protocol asks for left out.
class HandshakeStats {
public:
    void add(qint64 ns) { ns_.append(ns); }
    qsizetype count() const { return ns_.size(); }

    QString summary() const {
        if (ns_.isEmpty())
            return QStringLiteral("handshakes: 0");
        QList<qint64> sorted = ns_;
        std::sort(sorted.begin(), sorted.end());
        qint64 sum = 0;
        for (const qint64 v : sorted)
            sum += v;
        const auto us = [](qint64 ns) {
            return QString::number(double(ns) / 1000.0, 'f', 1);
        };
        return QStringLiteral("handshakes: %1, own time per handshake: mean %2 us, median %3 us, "
                              "p99 %4 us, max %5 us")
            .arg(sorted.size())
            .arg(us(sum / sorted.size()), us(sorted.at(sorted.size() / 2)),
                 us(sorted.at((sorted.size() - 1) * 99 / 100)), us(sorted.last()));
    }

private:
    QList<qint64> ns_;
};
