#include "board/BoardOptions.h"

namespace board {

bool parseChunkMode(const QString& text, ChunkMode* mode, int* bytes) {
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("line")) {
        *mode = ChunkMode::Line;
        return true;
    }
    if (t == QLatin1String("whole")) {
        *mode = ChunkMode::Whole;
        return true;
    }
    bool ok = false;
    const int n = t.toInt(&ok);
    if (!ok || n <= 0)
        return false;
    *mode = ChunkMode::Bytes;
    *bytes = n;
    return true;
}

bool parseSplit(const QString& text, int* splitAt) {
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("mid")) {
        *splitAt = BoardOptions::SplitMiddle;
        return true;
    }
    bool ok = false;
    const int n = t.toInt(&ok);
    if (!ok || n <= 0)
        return false;
    *splitAt = n;
    return true;
}

int splitPoint(int splitAt, qsizetype size) {
    if (splitAt == BoardOptions::SplitMiddle)
        return int(size / 2) | 1;
    return splitAt;
}

QList<QByteArray> chunkReply(const QList<QByteArray>& lines, ChunkMode mode, int bytes) {
    if (mode == ChunkMode::Line || lines.isEmpty())
        return lines;
    const QByteArray all = lines.join();
    if (mode == ChunkMode::Whole || bytes <= 0)
        return {all};
    QList<QByteArray> pieces;
    for (qsizetype at = 0; at < all.size(); at += bytes)
        pieces.append(all.mid(at, bytes));
    return pieces;
}

} // namespace board
