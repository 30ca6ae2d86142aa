#pragma once

#include <cstdint>
#include <string_view>

namespace zeb::remote_display {

// One of the four fonts the receiver draws with. Text is laid out on the font's nominal cell, so
// positions do not depend on the face that renders the glyphs.
struct DisplayFont
{
    std::string_view name;
    int cellWidth = 0;
    int cellHeight = 0;
    int weight = 0;

    // The font named `name`; none for any other name.
    static const DisplayFont* find(std::string_view name);
    // "16x8", the font every paint starts with.
    static const DisplayFont& standard();
};

} // namespace zeb::remote_display
