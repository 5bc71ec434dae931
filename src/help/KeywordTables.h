#pragma once

#include <span>
#include <string_view>

// The board dialect's vocabulary as the terminal knows it: statements and functions grouped by
// their first letter, each group in display order (not alphabetical). Pure data, no Qt, so the
// board simulator can share it.
namespace keywords {

// No group is longer than this; the help panel has room for 15 entries.
inline constexpr std::size_t MaxGroupSize = 12;

// The group for a letter in either case; empty for letters without a group and for anything
// that is not an ASCII letter.
std::span<const std::string_view> statementsFor(char letter);
std::span<const std::string_view> functionsFor(char letter);

} // namespace keywords
