#include "board/ModbusFrames.h"

#include "board/Crc16.h"

#include <QElapsedTimer>
#include <cmath>
#include <memory>

namespace board {

namespace {

constexpr std::uint8_t kReadHolding = 0x03;
constexpr std::uint8_t kWriteSingle = 0x06;
constexpr std::uint8_t kWriteMultiple = 0x10;
constexpr std::uint8_t kIllegalFunction = 0x01;
constexpr std::uint8_t kIllegalAddress = 0x02;
constexpr std::uint8_t kIllegalValue = 0x03;

std::uint8_t byteAt(const QByteArray& data, qsizetype i) {
    return static_cast<std::uint8_t>(data.at(i));
}

int wordAt(const QByteArray& data, qsizetype i) {
    return byteAt(data, i) << 8 | byteAt(data, i + 1);
}

void appendWord(QByteArray& out, int value) {
    out.append(static_cast<char>((value >> 8) & 0xFF));
    out.append(static_cast<char>(value & 0xFF));
}

FrameMatch checked(const QByteArray& data, qsizetype length, FrameKind good, FrameKind bad) {
    if (data.size() < length)
        return {FrameKind::Incomplete, length};
    return {hasValidCrc(data.constData(), length) ? good : bad, length};
}

} // namespace

FrameMatch matchSerialFrame(const QByteArray& data, std::uint8_t address) {
    if (data.isEmpty() || byteAt(data, 0) != address)
        return {};
    if (data.size() < 2)
        return {FrameKind::Incomplete, 2};
    switch (byteAt(data, 1)) {
    case static_cast<std::uint8_t>(kConsoleText):
        if (data.size() < 3)
            return {FrameKind::Incomplete, 3};
        return checked(data, byteAt(data, 2) + 5, FrameKind::ConsoleText,
                       FrameKind::BadConsoleText);
    case kReadHolding:
    case kWriteSingle:
        return checked(data, 8, FrameKind::Rtu, FrameKind::None);
    case kWriteMultiple:
        if (data.size() < 7)
            return {FrameKind::Incomplete, 7};
        return checked(data, 9 + byteAt(data, 6), FrameKind::Rtu, FrameKind::None);
    default:
        // Unknown length: only a chunk that is one whole frame can be recognised.
        if (data.size() >= 4 && hasValidCrc(data.constData(), data.size()))
            return {FrameKind::Rtu, data.size()};
        return {};
    }
}

FrameMatch matchDatagram(const QByteArray& data, std::uint8_t address) {
    if (data.size() < 4 || byteAt(data, 0) != address ||
        !hasValidCrc(data.constData(), data.size()))
        return {};
    if (data.at(1) == kConsoleText && byteAt(data, 2) + 5 == data.size())
        return {FrameKind::ConsoleText, data.size()};
    return {FrameKind::Rtu, data.size()};
}

QByteArray consolePayload(const QByteArray& frame) {
    return frame.mid(3, byteAt(frame, 2));
}

QList<QByteArray> wrapConsoleText(std::uint8_t address, const QByteArray& payload) {
    QList<QByteArray> frames;
    for (qsizetype at = 0; at < payload.size(); at += kMaxConsolePayload) {
        const QByteArray piece = payload.mid(at, kMaxConsolePayload);
        QByteArray frame;
        frame.append(static_cast<char>(address));
        frame.append(kConsoleText);
        frame.append(static_cast<char>(piece.size()));
        frame.append(piece);
        appendCrc(frame);
        frames.append(frame);
    }
    return frames;
}

RegisterBank::RegisterBank(std::function<qint64()> elapsedMs) : m_elapsedMs(std::move(elapsedMs)) {
    if (!m_elapsedMs) {
        auto started = std::make_shared<QElapsedTimer>();
        started->start();
        m_elapsedMs = [started] {
            return started->elapsed();
        };
    }
}

std::uint16_t RegisterBank::value(int reg) {
    constexpr double TwoPi = 6.283185307179586;
    const double seconds = double(m_elapsedMs()) / 1000.0;
    switch (reg) {
    case kCounter:
        return static_cast<std::uint16_t>((m_elapsedMs() / 100) % 1000);
    case kSine:
        return static_cast<std::uint16_t>(std::lround(500 + 400 * std::sin(TwoPi * seconds / 30)));
    case kNoisy: {
        m_noise = m_noise * 1103515245u + 12345u;
        const int noise = int((m_noise >> 16) % 121) - 60;
        return static_cast<std::uint16_t>(std::lround(500 + 100 * std::sin(TwoPi * seconds / 47)) +
                                          noise);
    }
    default:
        return m_registers[std::size_t(reg)];
    }
}

QByteArray RegisterBank::respond(const QByteArray& frame) {
    switch (byteAt(frame, 1)) {
    case kReadHolding:
        return readHolding(frame);
    case kWriteSingle:
        return writeSingle(frame);
    case kWriteMultiple:
        return writeMultiple(frame);
    default:
        return exception(frame, kIllegalFunction);
    }
}

QByteArray RegisterBank::exception(const QByteArray& frame, std::uint8_t code) const {
    QByteArray out;
    out.append(frame.at(0));
    out.append(static_cast<char>(byteAt(frame, 1) | 0x80));
    out.append(static_cast<char>(code));
    appendCrc(out);
    return out;
}

QByteArray RegisterBank::readHolding(const QByteArray& frame) {
    if (frame.size() != 8)
        return exception(frame, kIllegalValue);
    const int start = wordAt(frame, 2);
    const int count = wordAt(frame, 4);
    if (count < 1 || count > 125)
        return exception(frame, kIllegalValue);
    if (start + count > kCount)
        return exception(frame, kIllegalAddress);
    QByteArray out = frame.left(2);
    out.append(static_cast<char>(count * 2));
    for (int i = 0; i < count; ++i)
        appendWord(out, value(start + i));
    appendCrc(out);
    return out;
}

QByteArray RegisterBank::writeSingle(const QByteArray& frame) {
    if (frame.size() != 8)
        return exception(frame, kIllegalValue);
    const int reg = wordAt(frame, 2);
    if (reg >= kCount)
        return exception(frame, kIllegalAddress);
    m_registers[std::size_t(reg)] = static_cast<std::uint16_t>(wordAt(frame, 4));
    return frame; // the reply echoes the request
}

QByteArray RegisterBank::writeMultiple(const QByteArray& frame) {
    if (frame.size() < 9)
        return exception(frame, kIllegalValue);
    const int start = wordAt(frame, 2);
    const int count = wordAt(frame, 4);
    const int bytes = byteAt(frame, 6);
    if (count < 1 || count > 123 || bytes != count * 2 || frame.size() != 9 + bytes)
        return exception(frame, kIllegalValue);
    if (start + count > kCount)
        return exception(frame, kIllegalAddress);
    for (int i = 0; i < count; ++i)
        m_registers[std::size_t(start + i)] = static_cast<std::uint16_t>(wordAt(frame, 7 + 2 * i));
    QByteArray out = frame.left(6);
    appendCrc(out);
    return out;
}

} // namespace board
