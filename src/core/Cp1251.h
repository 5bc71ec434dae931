#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The one place where the board's bytes become text and back: Windows-1251, one byte per
// character. Characters the code page lacks are sent as '?'.
namespace Cp1251 {
QString toText(QByteArrayView bytes);
QByteArray toBytes(const QString& text);
} // namespace Cp1251
