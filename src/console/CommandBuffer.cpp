#include "console/CommandBuffer.h"

#include <algorithm>

void CommandBuffer::store(Slots& lines, const QByteArray& line) {
    // Copy rather than move: slot 63 keeps its value when the lines below it move up, and the
    // shift in insertFront() then drops the oldest copy. The scan goes on with the next slot, so
    // of two equal neighbours one stays (and is found again at the next Enter).
    for (int i = 0; i < int(lines.size()); ++i) {
        if (lines[i] == line)
            std::copy(lines.begin() + i + 1, lines.end(), lines.begin() + i);
    }
    insertFront(lines, line);
}

void CommandBuffer::insertFront(Slots& lines, const QByteArray& line) {
    std::move_backward(lines.begin(), lines.end() - 1, lines.end());
    lines[0] = line;
}

void CommandBuffer::remove(Slots& lines, int n) {
    if (n < 0 || n >= int(lines.size()))
        return;
    std::move(lines.begin() + n + 1, lines.end(), lines.begin() + n);
    lines.back().clear();
}
