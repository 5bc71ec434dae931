#include "link/Gateway.h"

#include "modbus/Crc16.h"

#include <algorithm>
#include <cmath>

std::optional<QByteArray> mdcLine(const QByteArray& text, const QByteArray& address) {
    if (text.size() < 2)
        return std::nullopt;
    QByteArray line;
    line.reserve(text.size() + address.size() + 6);
    line += "MDC ";
    line += address;
    line += ',';
    line += QByteArrayView(text).first(text.size() - 2);
    line += "\r\n";
    return line;
}

int rtuAddress(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && (text.at(i) == u' ' || text.at(i) == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    const qsizetype start = i;
    while (i < text.size() && text.at(i).isDigit() && text.at(i).unicode() < 128)
        ++i;
    if (i < text.size() && text.at(i) == u'.') {
        ++i;
        while (i < text.size() && text.at(i).isDigit() && text.at(i).unicode() < 128)
            ++i;
    }
    bool ok = false;
    double value = QStringView(text).sliced(start, i - start).toDouble(&ok);
    if (!ok)
        return 0; // no leading number, or a lone "."
    constexpr double limit = 1000000.0;
    value = std::nearbyint(std::min(value, limit)); // default rounding: to nearest, ties even
    return static_cast<int>(negative ? -value : value);
}

std::optional<QByteArray> consoleTextFrame(int address, const QByteArray& payload) {
    if (address < 0 || address > 255 || payload.size() > 255)
        return std::nullopt;
    QByteArray frame;
    frame.reserve(payload.size() + 5);
    frame += static_cast<char>(address);
    frame += 'C';
    frame += static_cast<char>(payload.size());
    frame += payload;
    frame += crc16Bytes(frame);
    return frame;
}

void FrameCutter::add(const QByteArray& chunk) {
    buffer_ += chunk;
    latest_ = chunk;
}

FrameCutter::Stop FrameCutter::pass(quint8 address, QList<CutAction>& actions) {
    if (buffer_.isEmpty() || static_cast<quint8>(buffer_.at(0)) != address)
        actions.append({CutAction::Kind::Console, "\r\nError ADDR  >> " + latest_});
    if (buffer_.size() < 2 || buffer_.at(1) != 'C')
        actions.append({CutAction::Kind::Console, "\r\nError CMD  >> " + latest_});
    if (buffer_.size() < 5)
        return Stop::Waiting;
    const qsizetype n = static_cast<quint8>(buffer_.at(2));
    if (buffer_.size() < n + 5)
        return Stop::Waiting;
    const bool crcGood = crc16Bytes(buffer_.first(n + 3)) == buffer_.sliced(n + 3, 2);
    latest_ = buffer_.sliced(3, n);
    buffer_.remove(0, n + 5);
    if (!crcGood)
        actions.append({CutAction::Kind::Console, "\r\nError CRC  >> " + latest_});
    actions.append({CutAction::Kind::Route, latest_});
    return Stop::FrameCut;
}
