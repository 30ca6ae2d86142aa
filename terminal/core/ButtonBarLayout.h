#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::terminal {

// Where the button bar puts its buttons, in pixels. The options button stands at (4, 4); the entry
// buttons follow from its right, left to right, each as wide as its label plus 12 and as high as the
// options button plus 5, 2 pixels apart. A button that would reach past the bar's width - 4 starts a new
// row at x = 4, 2 pixels below the row above (rows are as far apart as buttons, so they never overlap); a
// button too wide for any row gets a row of its own. The bar asks for the size that encloses every button plus 4.
class ButtonBarLayout
{
public:
    struct Rect
    {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;

        int right() const { return x + width; }
        int bottom() const { return y + height; }
        bool operator==(const Rect&) const = default;
    };
    struct Size
    {
        int width = 0;
        int height = 0;

        bool operator==(const Size&) const = default;
    };
    struct Result
    {
        Rect options;
        std::vector<Rect> buttons; // one per label, in order
        Size requested;
    };

    // Buttons are given commands numbered from a base; those beyond this many have none (the bar shows
    // them disabled).
    static constexpr std::size_t kMaxCommandButtons = 100;
    // The bar's size until one is given.
    static constexpr Size kDefaultSize{100, 100};
    static constexpr int kMargin = 4;
    static constexpr int kGap = 2;
    static constexpr int kLabelPadding = 12;
    static constexpr int kExtraHeight = 5;

    using TextWidth = std::function<int(std::string_view)>;

    static Result compute(Size optionsButton, int barWidth, const std::vector<std::string>& labels,
                          const TextWidth& textWidth);
    static bool hasCommand(std::size_t buttonIndex) { return buttonIndex < kMaxCommandButtons; }
};

} // namespace zeb::terminal
