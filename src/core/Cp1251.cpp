#include "core/Cp1251.h"

#include <QHash>
#include <QStringDecoder>
#include <array>

namespace {

struct Tables {
    std::array<char16_t, 256> toUnicode{};
    QHash<char16_t, char> fromUnicode;

    Tables() {
        // Built once from Qt's converter; the table keeps the hot path free of converter calls.
        QStringDecoder decoder("windows-1251");
        for (int b = 0; b < 256; ++b) {
            char16_t u = char16_t(b);
            if (b >= 0x80) {
                const char byte = char(b);
                const QString s = decoder.decode(QByteArrayView(&byte, 1));
                // A byte the code page leaves undefined keeps its own value, so nothing is lost.
                if (s.size() == 1 && s.at(0) != QChar::ReplacementCharacter)
                    u = s.at(0).unicode();
            }
            toUnicode[b] = u;
            fromUnicode.insert(u, char(b));
        }
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

} // namespace

QString Cp1251::toText(QByteArrayView bytes) {
    const auto& map = tables().toUnicode;
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* dst = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        dst[i] = QChar(map[uchar(bytes[i])]);
    return out;
}

QByteArray Cp1251::toBytes(const QString& text) {
    const auto& map = tables().fromUnicode;
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        out[i] = u < 0x80 ? char(u) : map.value(u, '?');
    }
    return out;
}
