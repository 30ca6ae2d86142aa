#pragma once

#include "remote-display/core/DisplayFont.h"

#include <cstdint>
#include <string_view>

namespace zeb::remote_display {

// A pen as the receiver names it: style 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot,
// 5 none, 6 solid inside the frame; width in pixels; colour 0xBBGGRR.
struct DisplayPen
{
    std::uint32_t style = 0;
    std::uint32_t width = 0;
    std::uint32_t color = 0;

    bool operator==(const DisplayPen&) const = default;
};

// What a display list draws with. Coordinates are pixels of the 320 x 240 display area.
class DisplayPainter
{
public:
    virtual ~DisplayPainter() = default;

    virtual void selectFont(const DisplayFont& font) = 0;
    virtual void selectPen(const DisplayPen& pen) = 0;
    // The text with the top left of its first cell at (x, y).
    virtual void drawText(int x, int y, std::string_view text) = 0;
    virtual void drawLine(int x1, int y1, int x2, int y2) = 0;
};

} // namespace zeb::remote_display
