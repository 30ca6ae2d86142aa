#pragma once

#include "remote-display/core/DisplayPainter.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::remote_display {

// Builds a display list as a receiver sends it: the operations, then the request payloads
// 4022, 4000 pieces no larger than a request may be, and 4023.
class DisplayListWriter
{
public:
    explicit DisplayListWriter(std::size_t maxPiece);

    DisplayListWriter& font(std::string_view name);
    DisplayListWriter& pen(const DisplayPen& pen);
    DisplayListWriter& text(double x, double y, std::string_view text);
    DisplayListWriter& text(std::string_view text);
    DisplayListWriter& line(double x1, double y1, double x2, double y2);
    DisplayListWriter& cursor(std::uint32_t row, std::uint32_t column);

    // The operations so far, without any 4000 word.
    const std::string& operations() const { return m_operations; }
    // The payloads that send the list, each starting with its code; operations are never split
    // across pieces, so every 4000 piece reads on its own.
    std::vector<std::string> payloads() const;

private:
    void add(std::string operation);

    std::size_t m_maxPiece;
    std::string m_operations;
    std::vector<std::size_t> m_starts;
};

} // namespace zeb::remote_display
