// modbus and monitor: raw bytes, as the builder panel sends them and the hex monitor shows them.
#include "cli/ModbusFigures.h"
#include "cli/Report.h"
#include "cli/Runners.h"
#include "cli/Session.h"
#include "core/Cp1251.h"
#include "core/SignalPipe.h"
#include "modbus/Crc16.h"
#include "modbus/HexText.h"
#include "modbus/ModbusReply.h"

#include <QJsonArray>
#include <QJsonObject>
#include <climits>

namespace {

// An exception reply: address, function with the high bit set, code, CRC. The parser has no
// layout for it, so it is told apart here.
std::optional<quint8> exceptionCode(const QByteArray& reply) {
    if (reply.size() != 5 || (quint8(reply.at(1)) & 0x80) == 0 ||
        crc16Bytes(reply.left(3)) != reply.right(2))
        return std::nullopt;
    return quint8(reply.at(2));
}

bool checks(const QByteArray& reply) {
    const ModbusReply parsed = parseModbusReply(reply);
    return (parsed.recognized() && parsed.crc->good()) || exceptionCode(reply);
}

} // namespace

QByteArray withUnixLineEnds(QByteArray text) {
    return text.replace("\r\n", "\n");
}

// The parsed reply as JSON figures: what the parser panel shows, as data.
QJsonObject replyFields(const ModbusReply& parsed) {
    QJsonObject out;
    if (parsed.address)
        out.insert(QStringLiteral("address"), *parsed.address);
    if (parsed.function)
        out.insert(QStringLiteral("function"), *parsed.function);
    if (parsed.echo) {
        out.insert(QStringLiteral("dataAddress"), parsed.echo->dataAddress);
        out.insert(QStringLiteral("value"), parsed.echo->value);
    }
    if (parsed.byteCount) {
        out.insert(QStringLiteral("byteCount"), *parsed.byteCount);
        QJsonArray values;
        for (const quint16 v : parsed.values)
            values.append(v);
        out.insert(QStringLiteral("values"), values);
    }
    if (parsed.text)
        out.insert(QStringLiteral("text"), Cp1251::toText(*parsed.text));
    if (parsed.crc)
        out.insert(QStringLiteral("crcGood"), parsed.crc->good());
    return out;
}

QString hexOf(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

int runModbus(Session& s) {
    if (s.request.everyMs > 0)
        return runModbusPolling(s);
    if (const auto failed = s.openLink(true))
        return *failed;
    const QByteArray& frame = s.request.modbusFrame;
    s.report.set(QStringLiteral("request"), hexOf(frame));
    s.report.account("> " + HexText::display(frame) + '\n');
    // The panel writes past every gateway, and so does this: the frame goes out as built.
    if (const auto failed = s.sink.sendRaw(frame))
        return s.sendFailed(*failed);
    const qint64 sentNs = s.nowNs();

    Session::Next next = s.nextChunk(s.request.timeoutMs);
    if (next.status != Session::Status::Got)
        return s.notAnswered(next.status, QStringLiteral("the MODBUS request"));
    // A reply cut across serial reads is gathered until it checks or the line goes quiet;
    // the panel parses each read on its own and would show the halves as two bad replies.
    QByteArray reply = next.bytes;
    qint64 lastNs = next.arrivedNs;
    while (!checks(reply)) {
        next = s.nextChunk(s.request.quietMs);
        if (next.status == Session::Status::TimedOut)
            break;
        if (next.status != Session::Status::Got)
            return s.notAnswered(next.status, QStringLiteral("the rest of the MODBUS reply"));
        reply += next.bytes;
        lastNs = next.arrivedNs;
    }
    const qint64 replyMs = (lastNs - sentNs) / 1000000;
    const ModbusReply parsed = parseModbusReply(reply, true, replyMs);
    s.report.account("< " + HexText::display(reply) + '\n');
    s.report.account(withUnixLineEnds(renderModbusReply(parsed)));
    s.report.set(QStringLiteral("reply"), hexOf(reply));
    s.report.set(QStringLiteral("replyMs"), replyMs);
    s.report.set(QStringLiteral("parsed"), replyFields(parsed));
    if (const std::optional<quint8> code = exceptionCode(reply)) {
        s.report.set(QStringLiteral("exception"), *code);
        return s.fail(ExitCode::Refused,
                      QStringLiteral("the board answered with MODBUS exception %1").arg(*code));
    }
    if (!parsed.recognized())
        return s.fail(ExitCode::Refused, QStringLiteral("the reply is not a MODBUS reply"));
    if (!parsed.crc->good())
        return s.fail(ExitCode::Refused, QStringLiteral("the reply's CRC does not check"));
    return 0;
}

int runMonitor(Session& s) {
    if (const auto failed = s.openLink(true))
        return *failed;
    s.report.summary(QStringLiteral("monitoring %1; Ctrl+C ends").arg(s.linkName()));
    for (;;) {
        const Session::Next next = s.nextChunk(INT_MAX);
        switch (next.status) {
        case Session::Status::Got:
            if (s.request.hex)
                s.report.account(s.report.stamped(HexText::display(next.bytes) + '\n'));
            else
                s.printBoard(next.bytes);
            break;
        case Session::Status::Interrupted:
            // The way a monitor ends, and still the signal's exit code: a script can tell.
            return interruptedExit(s.interrupt.signalNumber());
        case Session::Status::LinkLost:
            return s.notAnswered(next.status, QStringLiteral("monitor"));
        case Session::Status::TimedOut:
            break;
        }
    }
}
