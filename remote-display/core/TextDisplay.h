#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::remote_display {

// The two-line text display of the small remote view: what it shows and in which colour.
class TextDisplay
{
public:
    static constexpr std::size_t kRows = 2;
    static constexpr std::size_t kColumns = 16;
    static constexpr int kDimmingMs = 10000;

    // At most 2 rows of at most 16 characters; a row ends early at a zero byte or a CR (a CR
    // and the LF after it are skipped).
    static std::vector<std::string> rows(std::string_view text);
    // 0x008000 up to 0.5, 0x00C800 below 1.0, 0x00FF00 from 1.0 (0xBBGGRR).
    static std::uint32_t levelColor(double level);
};

} // namespace zeb::remote_display
