#include "remote-display/core/DisplayListWriter.h"

#include "remote-display/core/DisplayInterpreter.h"
#include "remote-display/core/DisplayList.h"
#include "remote-display/core/WireWords.h"

namespace zeb::remote_display {

namespace {

std::string codeOnly(std::uint32_t code)
{
    std::string out;
    appendWord(out, code);
    return out;
}

void appendText(std::string& out, std::string_view text)
{
    out.append(text.substr(0, text.find('\0')));
    out.push_back('\0');
}

} // namespace

DisplayListWriter::DisplayListWriter(std::size_t maxPiece)
    : m_maxPiece(maxPiece)
{
}

DisplayListWriter& DisplayListWriter::font(std::string_view name)
{
    std::string op = codeOnly(DisplayInterpreter::kFont);
    appendText(op, name);
    add(std::move(op));
    return *this;
}

DisplayListWriter& DisplayListWriter::pen(const DisplayPen& pen)
{
    std::string op = codeOnly(DisplayInterpreter::kPen);
    appendWord(op, pen.style);
    appendWord(op, pen.width);
    appendWord(op, pen.color);
    add(std::move(op));
    return *this;
}

DisplayListWriter& DisplayListWriter::text(double x, double y, std::string_view text)
{
    std::string op = codeOnly(DisplayInterpreter::kTextAt);
    appendDouble(op, x);
    appendDouble(op, y);
    appendText(op, text);
    add(std::move(op));
    return *this;
}

DisplayListWriter& DisplayListWriter::text(std::string_view text)
{
    std::string op = codeOnly(DisplayInterpreter::kText);
    appendText(op, text);
    add(std::move(op));
    return *this;
}

DisplayListWriter& DisplayListWriter::line(double x1, double y1, double x2, double y2)
{
    std::string op = codeOnly(DisplayInterpreter::kLine);
    for (const double value : {x1, y1, x2, y2})
        appendDouble(op, value);
    add(std::move(op));
    return *this;
}

DisplayListWriter& DisplayListWriter::cursor(std::uint32_t row, std::uint32_t column)
{
    std::string op = codeOnly(DisplayInterpreter::kCursor);
    appendWord(op, row);
    appendWord(op, column);
    add(std::move(op));
    return *this;
}

void DisplayListWriter::add(std::string operation)
{
    m_starts.push_back(m_operations.size());
    m_operations.append(operation);
}

std::vector<std::string> DisplayListWriter::payloads() const
{
    std::vector<std::string> out{codeOnly(DisplayList::kBegin)};
    std::string piece = codeOnly(DisplayList::kAppend);
    for (std::size_t i = 0; i < m_starts.size(); ++i) {
        const std::size_t end = i + 1 < m_starts.size() ? m_starts[i + 1] : m_operations.size();
        const std::string_view op = std::string_view(m_operations).substr(m_starts[i], end - m_starts[i]);
        if (piece.size() > 4 && piece.size() + op.size() > m_maxPiece) {
            out.push_back(piece);
            piece = codeOnly(DisplayList::kAppend);
        }
        piece.append(op);
    }
    if (piece.size() > 4)
        out.push_back(piece);
    out.push_back(codeOnly(DisplayList::kEnd));
    return out;
}

} // namespace zeb::remote_display
