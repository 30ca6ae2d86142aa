#include "terminal/screen/ScreenText.h"

#include <algorithm>

namespace zeb::terminal {

namespace {

// Counts of lines that went or came in one call saturate here, far beyond any store.
constexpr std::uint64_t kMaxShift = 1u << 30;
// A column past the end of every line.
constexpr int kPastLineEnd = static_cast<int>(ScreenLineStore::kMaxLineLength) + 1;

} // namespace

ScreenText::ScreenText()
{
    horizontal_.setMaximum(kColumns - 1);
    updateScrollRanges();
}

void ScreenText::addText(std::string_view text)
{
    const bool follow = following();
    const std::uint64_t droppedBefore = lines_.droppedLines();
    const int countBefore = lines_.lineCount();
    lines_.addText(text);
    const auto gone = static_cast<int>(std::min<std::uint64_t>(lines_.droppedLines() - droppedBefore, kMaxShift));
    updateScrollRanges();
    if (follow) {
        // A click's empty selection would point at other lines once old lines go.
        selection_.clear();
        showLastLine();
        return;
    }
    keepPlace(gone);
    const std::uint64_t added
        = static_cast<std::uint64_t>(lines_.lineCount() - countBefore) + static_cast<std::uint64_t>(gone);
    unseen_ = static_cast<int>(std::min<std::uint64_t>(static_cast<std::uint64_t>(unseen_) + added, kMaxShift));
}

void ScreenText::showLastLine()
{
    const int count = lines_.lineCount();
    if (count > visibleLines()) {
        vertical_.setPosition(count - visibleLines());
    }
    unseen_ = 0;
}

bool ScreenText::atBottom() const
{
    return vertical_.position() >= lines_.lineCount() - std::max(1, visibleLines());
}

void ScreenText::scrollToEnd()
{
    selection_.clear();
    showLastLine();
}

void ScreenText::scrollVertical(ScrollAction action, int thumb)
{
    vertical_.apply(action, thumb);
    if (atBottom()) {
        unseen_ = 0;
    }
}

void ScreenText::setScrollBack(int lines)
{
    const std::uint64_t droppedBefore = lines_.droppedLines();
    lines_.setCapacity(lines);
    const auto gone = static_cast<int>(lines_.droppedLines() - droppedBefore);
    keepPlace(gone);
    updateScrollRanges();
}

// The store dropped `gone` old lines: what shows and what is selected move up with their text.
void ScreenText::keepPlace(int gone)
{
    vertical_.setPosition(vertical_.position() - gone);
    selection_.shiftUp(gone);
}

void ScreenText::clear()
{
    lines_.clear();
    selection_.clear();
    unseen_ = 0;
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

namespace {

bool sameLetter(char a, char b)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(a) == lower(b);
}

// The first (forward) or last match of `needle` in `text` starting at a column in [from, to); -1 if none.
int matchIn(std::string_view text, std::string_view needle, int from, int to, bool forward)
{
    const int last = static_cast<int>(text.size()) - static_cast<int>(needle.size());
    from = std::max(from, 0);
    to = std::min(to, last + 1);
    for (int i = 0; i < to - from; ++i) {
        const int column = forward ? from + i : to - 1 - i;
        if (std::equal(needle.begin(), needle.end(), text.begin() + column, sameLetter)) {
            return column;
        }
    }
    return -1;
}

} // namespace

bool ScreenText::find(std::string_view needle, bool forward)
{
    const int count = lines_.lineCount();
    if (needle.empty() || count == 0) {
        return false;
    }
    const bool fromSelection = !selection_.empty();
    const int start = fromSelection ? selection_.start().line : (forward ? firstVisibleLine() : count - 1);
    const int startColumn
        = fromSelection ? selection_.start().column + (forward ? 1 : 0) : (forward ? 0 : kPastLineEnd);
    // The starting line is searched twice: past the start first, before it again after wrapping round.
    for (int step = 0; step <= count; ++step) {
        const int line = ((forward ? start + step : start - step) % count + count) % count;
        int from = 0;
        int to = kPastLineEnd;
        if (step == 0) {
            (forward ? from : to) = startColumn;
        } else if (step == count) {
            (forward ? to : from) = startColumn;
        }
        const int column = matchIn(lines_.line(line), needle, from, to, forward);
        if (column >= 0) {
            const int end = column + static_cast<int>(needle.size());
            selection_.begin({line, column});
            selection_.extendTo({line, end});
            selection_.finish();
            reveal(line, column, end);
            return true;
        }
    }
    return false;
}

void ScreenText::reveal(int line, int fromColumn, int toColumn)
{
    if (line < firstVisibleLine() || line >= firstVisibleLine() + std::max(1, visibleLines())) {
        vertical_.setPosition(line - visibleLines() / 2);
    }
    if (fromColumn < firstVisibleColumn() || toColumn > firstVisibleColumn() + visibleColumns()) {
        horizontal_.setPosition(fromColumn - kHorizontalPageStep);
    }
}

} // namespace zeb::terminal
