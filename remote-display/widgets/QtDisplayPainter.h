#pragma once

#include "remote-display/core/DisplayPainter.h"

#include <QColor>
#include <QFont>

class QPainter;

namespace zeb::remote_display {

// Draws display lists with Qt. Each character is centred in its font's nominal cell, so the
// layout is the receiver's whatever face renders the glyphs ("Zerath" when it is installed,
// else the system's monospace face). Text is black; a pen of width 0 draws one pixel wide.
class QtDisplayPainter : public DisplayPainter
{
public:
    explicit QtDisplayPainter(QPainter& painter);

    // A colour written 0xBBGGRR.
    static QColor color(std::uint32_t bgr);

    void selectFont(const DisplayFont& font) override;
    void selectPen(const DisplayPen& pen) override;
    void drawText(int x, int y, std::string_view text) override;
    void drawLine(int x1, int y1, int x2, int y2) override;

private:
    QPainter& m_painter;
    const DisplayFont* m_cell;
    QFont m_font;
};

} // namespace zeb::remote_display
