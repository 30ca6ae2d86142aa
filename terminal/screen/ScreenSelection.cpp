#include "terminal/screen/ScreenSelection.h"

#include "terminal/screen/ScreenLineStore.h"

#include <algorithm>

namespace zeb::terminal {

void ScreenSelection::clear()
{
    start_ = {};
    end_ = {};
    anchor_ = {};
    dragging_ = false;
}

void ScreenSelection::begin(ScreenPosition at)
{
    if (!at.valid()) {
        clear();
        return;
    }
    anchor_ = at;
    start_ = at;
    end_ = at;
    dragging_ = true;
}

void ScreenSelection::extendTo(ScreenPosition to)
{
    if (!dragging_ || !anchor_.valid() || !to.valid()) {
        return;
    }
    start_ = std::min(anchor_, to);
    end_ = std::max(anchor_, to);
}

void ScreenSelection::selectLine(int line, int length)
{
    if (line < 0 || length < 0) {
        clear();
        return;
    }
    anchor_ = {line, 0};
    start_ = anchor_;
    end_ = {line, length};
    dragging_ = false;
}

ColumnRange ScreenSelection::columnsOn(int line, int length) const
{
    if (!exists() || line < start_.line || line > end_.line) {
        return {};
    }
    const int from = line == start_.line ? std::min(start_.column, length) : 0;
    const int to = line == end_.line ? std::min(end_.column, length) : length;
    return {from, std::max(from, to)};
}

std::string ScreenSelection::copiedText(const ScreenLineStore& lines) const
{
    std::string text;
    if (!exists()) {
        return text;
    }
    const int last = std::min(end_.line, lines.lineCount() - 1);
    for (int line = start_.line; line <= last; ++line) {
        const std::string_view content = lines.line(line);
        const ColumnRange range = columnsOn(line, static_cast<int>(content.size()));
        text.append(
            content.substr(static_cast<std::size_t>(range.from), static_cast<std::size_t>(range.to - range.from)));
        const bool reachesEnd = line < end_.line || end_.column >= static_cast<int>(content.size());
        if (reachesEnd) {
            text.append("\r\n");
        }
    }
    return text;
}

void ScreenSelection::shiftUp(int lines)
{
    if (!exists() || lines <= 0) {
        return;
    }
    if (std::min(start_.line, end_.line) < lines) {
        clear();
        return;
    }
    start_.line -= lines;
    end_.line -= lines;
    anchor_.line -= lines;
}

} // namespace zeb::terminal
