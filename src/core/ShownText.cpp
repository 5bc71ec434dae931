#include "core/ShownText.h"

#include "core/Cp1251.h"

QString shownText(QByteArrayView bytes, LineEnds& ends) {
    QString out;
    out.reserve(bytes.size());
    ends.scan(
        bytes,
        [&out](QByteArrayView run) {
            QString text = Cp1251::toText(run);
            text.replace(QChar(0), QChar(0x2400));
            out += text;
        },
        [&out] { out += QLatin1Char('\n'); });
    return out;
}
