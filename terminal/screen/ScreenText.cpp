#include "terminal/screen/ScreenText.h"

#include <algorithm>

namespace zeb::terminal {

ScreenText::ScreenText()
{
    horizontal_.setMaximum(kColumns - 1);
    updateScrollRanges();
}

void ScreenText::addText(std::string_view text)
{
    lines_.addText(text);
    updateScrollRanges();
    const int count = lines_.lineCount();
    if (count > visibleLines()) {
        vertical_.setPosition(count - visibleLines());
    }
    selection_.clear();
}

void ScreenText::clear()
{
    lines_.clear();
    selection_.clear();
    vertical_.setPosition(0);
    horizontal_.setPosition(0);
    updateScrollRanges();
}

void ScreenText::setCellSize(int width, int height)
{
    cellWidth_ = std::max(1, width);
    cellHeight_ = std::max(1, height);
    updateScrollRanges();
}

void ScreenText::setPaneSize(int width, int height)
{
    paneWidth_ = std::max(0, width);
    paneHeight_ = std::max(0, height);
    updateScrollRanges();
}

void ScreenText::updateScrollRanges()
{
    vertical_.setMaximum(lines_.lineCount() - 1);
    vertical_.setPage(visibleLines());
    horizontal_.setPage(visibleColumns());
}

ScreenPosition ScreenText::cellAt(int x, int y) const
{
    const int count = lines_.lineCount();
    if (count == 0) {
        return {};
    }
    // Points left of or above the pane (the mouse is captured while selecting) count as the first cell.
    const int row = y < 0 ? 0 : y / cellHeight_;
    const int column = x < 0 ? 0 : x / cellWidth_;
    const int line = std::clamp(firstVisibleLine() + row, 0, count - 1);
    const int length = static_cast<int>(lines_.line(line).size());
    return {line, std::clamp(firstVisibleColumn() + column, 0, length)};
}

void ScreenText::mousePress(int x, int y)
{
    selection_.begin(cellAt(x, y));
}

void ScreenText::mouseMove(int x, int y)
{
    if (selection_.dragging()) {
        selection_.extendTo(cellAt(x, y));
    }
}

std::string ScreenText::mouseRelease()
{
    if (!selection_.dragging()) {
        return {};
    }
    selection_.finish();
    // A click without a drag selects nothing, and must not wipe the clipboard with an empty text or a
    // lone line end.
    if (selection_.empty()) {
        return {};
    }
    return selection_.copiedText(lines_);
}

std::string ScreenText::doubleClick(int x, int y)
{
    const ScreenPosition at = cellAt(x, y);
    if (!at.valid()) {
        return {};
    }
    selection_.selectLine(at.line, static_cast<int>(lines_.line(at.line).size()));
    return selection_.copiedText(lines_);
}

ColumnRange ScreenText::selectedColumns(int line) const
{
    return selection_.columnsOn(line, static_cast<int>(lines_.line(line).size()));
}

} // namespace zeb::terminal
