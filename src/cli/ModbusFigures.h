#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

struct ModbusReply;

// How the modbus command shows a frame and a reply, shared by one request and a polling run.
QByteArray withUnixLineEnds(QByteArray text);
// The parsed reply as JSON figures: what the parser panel shows, as data.
QJsonObject replyFields(const ModbusReply& parsed);
// "10 03 00 00": the frame as the hex monitor spells it.
QString hexOf(const QByteArray& bytes);
