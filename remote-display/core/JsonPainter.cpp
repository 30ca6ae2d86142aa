#include "remote-display/core/JsonPainter.h"

#include <cstdio>

namespace zeb::remote_display {

namespace {

std::string quoted(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (byte < 0x20 || byte >= 0x7F) {
            // Bytes outside ASCII are shown as the Latin-1 characters they draw.
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            out.append(escape);
        } else {
            out.push_back(c);
        }
    }
    out.push_back('"');
    return out;
}

} // namespace

void JsonPainter::selectFont(const DisplayFont& font)
{
    m_lines += "{\"op\": \"font\", \"name\": " + quoted(font.name) + "}\n";
}

void JsonPainter::selectPen(const DisplayPen& pen)
{
    m_lines += "{\"op\": \"pen\", \"style\": " + std::to_string(pen.style) + ", \"width\": " + std::to_string(pen.width)
        + ", \"color\": " + std::to_string(pen.color) + "}\n";
}

void JsonPainter::drawText(int x, int y, std::string_view text)
{
    m_lines += "{\"op\": \"text\", \"x\": " + std::to_string(x) + ", \"y\": " + std::to_string(y)
        + ", \"text\": " + quoted(text) + "}\n";
}

void JsonPainter::drawLine(int x1, int y1, int x2, int y2)
{
    m_lines += "{\"op\": \"line\", \"x1\": " + std::to_string(x1) + ", \"y1\": " + std::to_string(y1)
        + ", \"x2\": " + std::to_string(x2) + ", \"y2\": " + std::to_string(y2) + "}\n";
}

void JsonPainter::end()
{
    m_lines += "{\"op\": \"end\"}\n";
}

} // namespace zeb::remote_display
