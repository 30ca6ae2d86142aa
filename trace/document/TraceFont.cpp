#include "trace/document/TraceFont.h"

#include <algorithm>
#include <cstdlib>

namespace zeb::trace {

QColor colourOf(std::uint32_t value)
{
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

std::uint32_t colourValue(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    return static_cast<std::uint32_t>(rgb.red()) | (static_cast<std::uint32_t>(rgb.green()) << 8)
        | (static_cast<std::uint32_t>(rgb.blue()) << 16);
}

QFont fontOf(const FontDescription& description)
{
    QFont font(QString::fromStdString(description.face));
    font.setStyleHint(QFont::TypeWriter);
    // A negative height is the character height in pixels, a positive one the cell height; 0 is the default size.
    if (description.height != 0)
        font.setPixelSize(std::max(1, std::abs(description.height)));
    font.setWeight(static_cast<QFont::Weight>(std::clamp(description.weight == 0 ? 400 : description.weight, 1, 1000)));
    font.setItalic(description.italic != 0);
    font.setUnderline(description.underline != 0);
    font.setStrikeOut(description.strikeOut != 0);
    return font;
}

FontDescription describe(const QFont& font, FontDescription base)
{
    // The settings separate the fields with commas: a comma in a face name would cut the description short.
    base.face = font.family().toStdString();
    std::replace(base.face.begin(), base.face.end(), ',', ' ');
    if (font.pixelSize() > 0)
        base.height = -font.pixelSize();
    else if (font.pointSizeF() > 0)
        base.height = -static_cast<int>(font.pointSizeF() * 96.0 / 72.0 + 0.5);
    base.weight = static_cast<int>(font.weight());
    base.italic = font.italic() ? 1 : 0;
    base.underline = font.underline() ? 1 : 0;
    base.strikeOut = font.strikeOut() ? 1 : 0;
    return base;
}

} // namespace zeb::trace
