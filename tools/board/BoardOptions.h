#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QString>

namespace board {

// How a reply is cut into datagrams or serial writes.
enum class ChunkMode {
    Line,  // one chunk per reply line (what the firmware does)
    Whole, // the whole reply in one chunk
    Bytes, // pieces of BoardOptions::chunkBytes bytes
};

struct BoardOptions {
    bool udpEnabled = true;
    QHostAddress udpHost = QHostAddress(QHostAddress::LocalHost);
    quint16 udpPort = 111; // 0 picks a free port; see BoardSimulator::udpPort()

    bool ptyEnabled = true;
    QString ptyLink; // symlink to the pty slave, made when not empty

    QString diskDir; // flash disk lives in memory when empty

    quint8 modbusAddr = 16;

    // Fault injection.
    bool login = false; // LIST answers a login prompt instead of the program
    int dropEvery = 0;  // lose every Nth outgoing chunk; 0 keeps all
    int delayMs = 0;    // hold each reply this long before sending
    ChunkMode chunkMode = ChunkMode::Line;
    int chunkBytes = 0; // piece size for ChunkMode::Bytes
    // Every chunk cut in two, the second piece sent splitGapMs after the first, as a board at
    // 9600 baud spreads a reply over several of the terminal's reads: after byte splitAt, or
    // with SplitMiddle in the middle, made odd so a hex piece is cut inside a pair and
    // "OK" CR LF between its CR and LF. 0: no cut.
    static constexpr int SplitMiddle = -1;
    int splitAt = 0;
    int splitGapMs = 45;
};

// Parses "mid" or a positive byte offset; false for anything else.
bool parseSplit(const QString& text, int* splitAt);
// Where a chunk of `size` bytes is cut; 0 or `size` and beyond mean it stays whole.
int splitPoint(int splitAt, qsizetype size);

// Parses "line", "whole" or a positive byte count; false for anything else.
bool parseChunkMode(const QString& text, ChunkMode* mode, int* bytes);

// Cuts reply lines (each already ending in CR LF) into outgoing chunks.
QList<QByteArray> chunkReply(const QList<QByteArray>& lines, ChunkMode mode, int bytes);

} // namespace board
