#pragma once

#include <QByteArray>
#include <array>

// The 64 command lines, slot 0 the newest. Pure rules, shared by Enter, ADD and the delete
// buttons.
namespace CommandBuffer {
using Slots = std::array<QByteArray, 64>; // slot 0 the newest

// Enter: every slot equal to line is taken out (later lines move up), then everything moves
// down one place and line goes into slot 0. A line already present moves to the front; a new
// line pushes the oldest out.
void store(Slots& lines, const QByteArray& line);
// ADD: a new slot 0 without looking for equal lines; the oldest is dropped.
void insertFront(Slots& lines, const QByteArray& line);
// Delete button n: later lines move up, slot 63 becomes empty.
void remove(Slots& lines, int n);
} // namespace CommandBuffer
