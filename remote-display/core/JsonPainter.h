#pragma once

#include "remote-display/core/DisplayPainter.h"

#include <string>

namespace zeb::remote_display {

// Writes each drawing operation as one JSON line: {"op": "font", "name": "32x16"},
// {"op": "pen", "style": 0, "width": 1, "color": 65280}, {"op": "text", "x": 34, "y": 32,
// "text": "OK"}, {"op": "line", "x1": 0, "y1": 0, "x2": 319, "y2": 239}. Texts from the peer are
// escaped, so every line is valid JSON whatever bytes they hold.
class JsonPainter : public DisplayPainter
{
public:
    void selectFont(const DisplayFont& font) override;
    void selectPen(const DisplayPen& pen) override;
    void drawText(int x, int y, std::string_view text) override;
    void drawLine(int x1, int y1, int x2, int y2) override;
    // The line that ends a list.
    void end();

    const std::string& lines() const { return m_lines; }
    void clear() { m_lines.clear(); }

private:
    std::string m_lines;
};

} // namespace zeb::remote_display
