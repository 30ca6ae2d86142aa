#include "remote-display/core/DisplayInterpreter.h"

#include "remote-display/core/WireWords.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace zeb::remote_display {

namespace {

constexpr std::uint32_t kBorderColor = 0x0000FF;

// Reads operands in order from a position in the list; any read past the end fails.
class Reader
{
public:
    Reader(std::span<const std::uint8_t> list, std::size_t at)
        : m_list(list)
        , m_at(at)
    {
    }

    bool word(std::uint32_t& value)
    {
        if (!readWordAt(m_list, m_at, value))
            return false;
        m_at += 4;
        return true;
    }

    bool number(double& value)
    {
        if (!readDoubleAt(m_list, m_at, value))
            return false;
        m_at += 8;
        return true;
    }

    bool text(std::string_view& value)
    {
        const auto rest = m_list.subspan(std::min(m_at, m_list.size()));
        const auto zero = std::find(rest.begin(), rest.end(), std::uint8_t{0});
        if (zero == rest.end())
            return false;
        const auto length = static_cast<std::size_t>(zero - rest.begin());
        value = std::string_view(reinterpret_cast<const char*>(rest.data()), length);
        m_at += length + 1;
        return true;
    }

    std::size_t position() const { return m_at; }

private:
    std::span<const std::uint8_t> m_list;
    std::size_t m_at;
};

bool usable(double value)
{
    return std::isfinite(value) && std::fabs(value) <= DisplayInterpreter::kMaxCoordinate;
}

bool usableCell(std::uint32_t value)
{
    return value >= 1 && value <= DisplayInterpreter::kMaxCell;
}

int pixel(double value)
{
    return static_cast<int>(std::lround(value));
}

class Run
{
public:
    explicit Run(DisplayPainter& painter)
        : m_painter(painter)
    {
    }

    DisplayInterpreter::Summary go(std::span<const std::uint8_t> list)
    {
        std::size_t at = 0;
        std::uint32_t code = 0;
        while (readWordAt(list, at, code)) {
            Reader reader(list, at + 4);
            const Step step = operation(code, reader);
            if (step == Step::Cut) {
                m_summary.cut = true;
                break;
            }
            if (step == Step::Skipped)
                ++m_summary.skipped;
            else if (step == Step::Drawn)
                ++m_summary.operations;
            at = reader.position();
        }
        return m_summary;
    }

    void font(const DisplayFont& chosen)
    {
        m_font = &chosen;
        m_painter.selectFont(chosen);
    }

private:
    enum class Step { Drawn, Skipped, Other, Cut };

    Step operation(std::uint32_t code, Reader& reader)
    {
        switch (code) {
        case DisplayInterpreter::kFont:
            return selectFont(reader);
        case DisplayInterpreter::kPen:
            return selectPen(reader);
        case DisplayInterpreter::kTextAt:
            return textAt(reader);
        case DisplayInterpreter::kText:
            return textAtCursor(reader);
        case DisplayInterpreter::kLine:
            return line(reader);
        case DisplayInterpreter::kCursor:
            return cursor(reader);
        default:
            return Step::Other;
        }
    }

    Step selectFont(Reader& reader)
    {
        std::string_view name;
        if (!reader.text(name))
            return Step::Cut;
        const DisplayFont* found = DisplayFont::find(name);
        if (!found)
            return Step::Skipped;
        font(*found);
        return Step::Drawn;
    }

    Step selectPen(Reader& reader)
    {
        DisplayPen pen;
        if (!reader.word(pen.style) || !reader.word(pen.width) || !reader.word(pen.color))
            return Step::Cut;
        m_painter.selectPen(DisplayInterpreter::bounded(pen));
        return Step::Drawn;
    }

    Step textAt(Reader& reader)
    {
        double x = 0;
        double y = 0;
        std::string_view text;
        if (!reader.number(x) || !reader.number(y) || !reader.text(text))
            return Step::Cut;
        if (!usable(x) || !usable(y))
            return Step::Skipped;
        m_painter.drawText(pixel(x), pixel(y), text);
        return Step::Drawn;
    }

    Step textAtCursor(Reader& reader)
    {
        std::string_view text;
        if (!reader.text(text))
            return Step::Cut;
        m_painter.drawText(m_cursorX, m_cursorY, text);
        return Step::Drawn;
    }

    Step line(Reader& reader)
    {
        double x1 = 0;
        double y1 = 0;
        double x2 = 0;
        double y2 = 0;
        if (!reader.number(x1) || !reader.number(y1) || !reader.number(x2) || !reader.number(y2))
            return Step::Cut;
        if (!usable(x1) || !usable(y1) || !usable(x2) || !usable(y2))
            return Step::Skipped;
        m_painter.drawLine(pixel(x1), pixel(y1), pixel(x2), pixel(y2));
        return Step::Drawn;
    }

    Step cursor(Reader& reader)
    {
        std::uint32_t row = 0;
        std::uint32_t column = 0;
        if (!reader.word(row) || !reader.word(column))
            return Step::Cut;
        if (!usableCell(row) || !usableCell(column))
            return Step::Skipped;
        m_cursorX = m_font->cellWidth * static_cast<int>(column - 1) + 2;
        m_cursorY = m_font->cellHeight * static_cast<int>(row - 1);
        return Step::Drawn;
    }

    DisplayPainter& m_painter;
    const DisplayFont* m_font = &DisplayFont::standard();
    int m_cursorX = 2;
    int m_cursorY = 0;
    DisplayInterpreter::Summary m_summary;
};

} // namespace

DisplayInterpreter::Summary DisplayInterpreter::interpret(std::span<const std::uint8_t> list, DisplayPainter& painter)
{
    return Run(painter).go(list);
}

DisplayInterpreter::Summary DisplayInterpreter::paint(std::span<const std::uint8_t> list, DisplayPainter& painter)
{
    Run run(painter);
    run.font(DisplayFont::standard());
    painter.selectPen({0, 0, kBorderColor});
    constexpr int right = kWidth - 1;
    constexpr int bottom = kHeight - 1;
    painter.drawLine(0, 0, right, 0);
    painter.drawLine(0, 0, 0, bottom);
    painter.drawLine(0, bottom, right, bottom);
    painter.drawLine(right, 0, right, bottom);
    return run.go(list);
}

DisplayPen DisplayInterpreter::bounded(DisplayPen pen)
{
    if (pen.style > kMaxPenStyle)
        pen.style = 0;
    pen.width = std::min(pen.width, kMaxPenWidth);
    pen.color &= 0xFFFFFF;
    return pen;
}

} // namespace zeb::remote_display
