#pragma once

#include "remote-display/core/DisplayPainter.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace zeb::remote_display {

// Reads a display list word by word and draws it through a painter:
//   4003 text                      select the font of that name (another name changes nothing)
//   4005 word style, width, colour select the pen
//   4014 double x, y, text         text with its top left at (x, y)
//   4015 text                      text at the text cursor
//   4016 double x1, y1, x2, y2     line with the current pen
//   4020 word row, column          text cursor to cell (row, column), counted from 1
// Any other word is skipped. The list comes from the peer: an operation whose operands run past
// the end (a text without its zero byte included) ends the reading; coordinates that are not
// finite or lie far outside the display, and rows or columns outside 1..kMaxCell, skip just
// that operation; pen widths above kMaxPenWidth are drawn at that width.
class DisplayInterpreter
{
public:
    static constexpr std::uint32_t kFont = 4003;
    static constexpr std::uint32_t kPen = 4005;
    static constexpr std::uint32_t kTextAt = 4014;
    static constexpr std::uint32_t kText = 4015;
    static constexpr std::uint32_t kLine = 4016;
    static constexpr std::uint32_t kCursor = 4020;

    static constexpr int kWidth = 320;
    static constexpr int kHeight = 240;
    // Coordinates beyond this, either way, are nonsense rather than a clipped drawing.
    static constexpr double kMaxCoordinate = 4 * kWidth;
    static constexpr std::uint32_t kMaxCell = 256;
    static constexpr std::uint32_t kMaxPenWidth = 16;
    static constexpr std::uint32_t kMaxPenStyle = 6;

    struct Summary
    {
        std::size_t operations = 0;
        std::size_t skipped = 0;
        // The list ended inside an operation.
        bool cut = false;
    };

    // Draws the list alone, from the standard font and a text cursor at (2, 0).
    static Summary interpret(std::span<const std::uint8_t> list, DisplayPainter& painter);
    // A whole paint of the display: the standard font, a red pen, the border, then the list.
    static Summary paint(std::span<const std::uint8_t> list, DisplayPainter& painter);
    // The pen as it is drawn: known style (else solid), bounded width, 24-bit colour.
    static DisplayPen bounded(DisplayPen pen);
};

} // namespace zeb::remote_display
