#include "terminal/core/ButtonBarLayout.h"

#include <algorithm>

namespace zeb::terminal {

ButtonBarLayout::Result ButtonBarLayout::compute(Size optionsButton, int barWidth,
                                                 const std::vector<std::string>& labels, const TextWidth& textWidth)
{
    Result result;
    result.options = {kMargin, kMargin, std::max(optionsButton.width, 0), std::max(optionsButton.height, 0)};
    const int height = result.options.height + kExtraHeight;
    const int limit = barWidth - kMargin;
    int x = result.options.right() + kGap;
    int y = kMargin;
    int right = result.options.right();
    int bottom = result.options.bottom();
    result.buttons.reserve(labels.size());
    for (const auto& label : labels) {
        const int width = std::max(textWidth(label), 0) + kLabelPadding;
        // Every row already holds something here: the first the options button, the others the button
        // that opened them. So a button too wide for any row still gets one row of its own.
        if (x + width > limit) {
            x = kMargin;
            y += height + kGap;
        }
        result.buttons.push_back({x, y, width, height});
        x += width + kGap;
        right = std::max(right, x - kGap);
        bottom = std::max(bottom, y + height);
    }
    result.requested = {right + kMargin, bottom + kMargin};
    return result;
}

} // namespace zeb::terminal
