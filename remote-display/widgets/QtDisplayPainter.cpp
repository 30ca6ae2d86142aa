#include "remote-display/widgets/QtDisplayPainter.h"

#include <QPainter>

namespace zeb::remote_display {

namespace {

Qt::PenStyle styleOf(std::uint32_t style)
{
    switch (style) {
    case 1:
        return Qt::DashLine;
    case 2:
        return Qt::DotLine;
    case 3:
        return Qt::DashDotLine;
    case 4:
        return Qt::DashDotDotLine;
    case 5:
        return Qt::NoPen;
    default:
        return Qt::SolidLine;
    }
}

} // namespace

QColor QtDisplayPainter::color(std::uint32_t bgr)
{
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

QtDisplayPainter::QtDisplayPainter(QPainter& painter)
    : m_painter(painter)
    , m_cell(&DisplayFont::standard())
{
    selectFont(*m_cell);
}

void QtDisplayPainter::selectFont(const DisplayFont& font)
{
    m_cell = &font;
    m_font = QFont(QStringLiteral("Zerath"));
    m_font.setStyleHint(QFont::Monospace);
    m_font.setPixelSize(font.cellHeight * 3 / 4);
    m_font.setBold(font.weight >= 700);
    // Glyphs of a wide face are narrowed to the cell.
    m_font.setStretch(font.cellHeight >= 3 * font.cellWidth ? 60 : 100);
}

void QtDisplayPainter::selectPen(const DisplayPen& pen)
{
    QPen qpen(color(pen.color));
    qpen.setStyle(styleOf(pen.style));
    qpen.setWidth(static_cast<int>(pen.width));
    m_painter.setPen(qpen);
}

void QtDisplayPainter::drawText(int x, int y, std::string_view text)
{
    const QPen pen = m_painter.pen();
    m_painter.setPen(Qt::black);
    m_painter.setFont(m_font);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const QRect cell(x + static_cast<int>(i) * m_cell->cellWidth, y, m_cell->cellWidth, m_cell->cellHeight);
        if (cell.left() > 4096)
            break;
        m_painter.drawText(cell, Qt::AlignCenter, QString(QChar::fromLatin1(text[i])));
    }
    m_painter.setPen(pen);
}

void QtDisplayPainter::drawLine(int x1, int y1, int x2, int y2)
{
    m_painter.drawLine(x1, y1, x2, y2);
}

} // namespace zeb::remote_display
