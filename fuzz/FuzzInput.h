#pragma once

#include <QByteArray>
#include <QList>
#include <cstddef>
#include <cstdint>

// What every fuzz target needs: a failed invariant stops the run where it was found, and the
// input as bytes that own their copy (so the sanitizer sees any read past its end).
inline void check(bool condition) {
    if (!condition)
        __builtin_trap();
}

inline QByteArray inputBytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// The input cut into pieces the way a link cuts a stream: each piece is preceded by its length
// byte (cut at the end of the input).
inline QList<QByteArray> lengthPrefixedPieces(QByteArrayView input) {
    QList<QByteArray> pieces;
    qsizetype at = 0;
    while (at < input.size()) {
        const qsizetype len = qMin<qsizetype>(quint8(input[at]), input.size() - at - 1);
        pieces.append(input.sliced(at + 1, len).toByteArray());
        at += len + 1;
    }
    return pieces;
}
