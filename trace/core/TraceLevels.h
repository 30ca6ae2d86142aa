#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zeb::trace {

// The levels a receiver's trace switches, as numbered on the wire (1 to 6), with their names and the colours the
// list draws them in (0x00BBGGRR, as the settings keep them).
inline constexpr std::size_t kLevelCount = 6;
inline constexpr std::array<std::string_view, kLevelCount> kLevelNames
    = {"Error", "Warning", "Trace1", "Trace2", "Trace3", "Valid"};
inline constexpr std::array<std::uint32_t, kLevelCount> kDefaultColours
    = {0x0000FF, 0xFF00FF, 0x000000, 0xFF0000, 0x00FF00, 0xFFFF00};

// The colour of a level: levels past 6 repeat the six colours, and so does level 0, which takes the colour of
// level 6 rather than an index before the table.
constexpr std::size_t colourIndex(std::uint32_t level)
{
    return level == 0 ? kLevelCount - 1 : (level - 1) % kLevelCount;
}

} // namespace zeb::trace
