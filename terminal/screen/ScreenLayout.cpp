#include "terminal/screen/ScreenLayout.h"

#include <algorithm>

namespace zeb::terminal {

// From the bottom: the horizontal bar (short of the vertical bar's corner), then the input line as wide
// as the pane; the vertical bar runs down the right side to the horizontal bar; the pane takes the rest.
ScreenLayout ScreenLayout::compute(int width, int height, unsigned styleMask)
{
    width = std::max(0, width);
    height = std::max(0, height);
    const int barRight = (styleMask & kVerticalBar) != 0 ? std::min(kBarSize, width) : 0;
    const int barBottom = (styleMask & kHorizontalBar) != 0 ? std::min(kBarSize, height) : 0;
    const int inputHeight = (styleMask & kInputLine) != 0 ? std::min(kInputHeight, height - barBottom) : 0;
    const int paneWidth = width - barRight;
    const int paneHeight = height - barBottom - inputHeight;

    ScreenLayout layout;
    layout.pane = {0, 0, paneWidth, paneHeight};
    if (inputHeight > 0) {
        layout.input = {0, paneHeight, paneWidth, inputHeight};
    }
    if (barBottom > 0) {
        layout.horizontalBar = {0, height - barBottom, paneWidth, barBottom};
    }
    if (barRight > 0) {
        layout.verticalBar = {paneWidth, 0, barRight, height - barBottom};
    }
    return layout;
}

} // namespace zeb::terminal
