#pragma once

#include "terminal/screen/ScreenLineStore.h"
#include "terminal/screen/ScreenSelection.h"
#include "terminal/screen/ScrollAxis.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zeb::terminal {

// The screen view's text pane without the drawing: the lines, the scroll positions, the selection and
// the active state. The widget feeds it the pane's size, the character cell and the mouse, and paints
// what it describes: the lines from firstVisibleLine(), shifted left by firstVisibleColumn() cells, each
// in its colour on background(), with selectedColumns() inverted.
class ScreenText
{
public:
    static constexpr std::uint32_t kActiveBackground = 0xFFFFFF;
    static constexpr std::uint32_t kInactiveBackground = 0xC0C0C0;
    // Horizontal scroll positions are 0 to kColumns - 1.
    static constexpr int kColumns = 1024;
    static constexpr int kVerticalPageStep = 10;
    static constexpr int kHorizontalPageStep = 5;

    ScreenText();

    void setColour(std::uint32_t colour) { lines_.setColour(colour); }
    // Appends the text. While the reader follows (the last lines show and nothing is selected) the view
    // scrolls so that the last line shows. Otherwise the view is locked: what shows and what is selected
    // stay on their text while old lines go, and the new lines are counted in unseenLines().
    void addText(std::string_view text);
    // Removes all lines, resets the scroll positions and the selection.
    void clear();
    const ScreenLineStore& lines() const { return lines_; }
    // How many lines the screen keeps; the newest stay when it shrinks.
    void setScrollBack(int lines);

    bool atBottom() const;
    bool following() const { return atBottom() && selection_.empty() && !selection_.dragging(); }
    // Lines added while the view was locked, until the reader returns to the bottom.
    int unseenLines() const { return unseen_; }
    // Shows the last lines again and drops the selection: the reader follows the new lines again.
    void scrollToEnd();

    // Selects the next (or previous) place holding `needle`, ignoring ASCII case, from the selection or
    // else from the first visible line (the last line going back), wrapping at the ends, and scrolls it
    // into view. False, with nothing changed, when no line holds it.
    bool find(std::string_view needle, bool forward);

    // The view starts inactive. While inactive the background is grey and the input line read-only; the
    // terminal adds nothing then, which is its own rule and not enforced here.
    void setInactive(bool inactive) { inactive_ = inactive; }
    bool inactive() const { return inactive_; }
    bool inputReadOnly() const { return inactive_; }
    std::uint32_t background() const { return inactive_ ? kInactiveBackground : kActiveBackground; }

    // Geometry, in pixels. A zero cell counts as 1 × 1 so that nothing divides by zero.
    void setCellSize(int width, int height);
    void setPaneSize(int width, int height);
    int cellWidth() const { return cellWidth_; }
    int cellHeight() const { return cellHeight_; }
    // Whole lines and columns that fit in the pane.
    int visibleLines() const { return paneHeight_ / cellHeight_; }
    int visibleColumns() const { return paneWidth_ / cellWidth_; }

    const ScrollAxis& vertical() const { return vertical_; }
    const ScrollAxis& horizontal() const { return horizontal_; }
    void scrollVertical(ScrollAction action, int thumb = 0);
    void scrollHorizontal(ScrollAction action, int thumb = 0) { horizontal_.apply(action, thumb); }
    int firstVisibleLine() const { return vertical_.position(); }
    int firstVisibleColumn() const { return horizontal_.position(); }

    // The cell under a pane point, clamped to the last line and to the line's length; invalid when
    // there are no lines.
    ScreenPosition cellAt(int x, int y) const;
    // Left button pressed, mouse moved while it is held, button released: the release returns the text
    // to copy to the clipboard (empty: copy nothing).
    void mousePress(int x, int y);
    void mouseMove(int x, int y);
    std::string mouseRelease();
    // Selects the whole line under the point and returns the text to copy.
    std::string doubleClick(int x, int y);
    const ScreenSelection& selection() const { return selection_; }
    ColumnRange selectedColumns(int line) const;

private:
    void updateScrollRanges();
    void showLastLine();
    void keepPlace(int gone);
    void reveal(int line, int fromColumn, int toColumn);

    ScreenLineStore lines_;
    ScreenSelection selection_;
    ScrollAxis vertical_{kVerticalPageStep};
    ScrollAxis horizontal_{kHorizontalPageStep};
    int cellWidth_ = 1;
    int cellHeight_ = 1;
    int paneWidth_ = 0;
    int paneHeight_ = 0;
    bool inactive_ = true;
    int unseen_ = 0;
};

} // namespace zeb::terminal
