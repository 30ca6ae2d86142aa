#include "terminal/core/ButtonBarLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zeb::terminal {

// Found by argument-dependent lookup, so it lives in the types' namespace.
void PrintTo(const ButtonBarLayout::Rect& r, std::ostream* out)
{
    *out << '(' << r.x << ',' << r.y << ' ' << r.width << 'x' << r.height << ')';
}

using Rect = ButtonBarLayout::Rect;
using Size = ButtonBarLayout::Size;

namespace {

// Every character is 6 pixels wide.
int sixPerCharacter(std::string_view text)
{
    return static_cast<int>(text.size()) * 6;
}

constexpr Size kOptions{16, 15}; // buttons are 20 high, rows 22 apart

TEST(ButtonBarLayout, ButtonsFlowFromTheOptionsButtonAndWrap)
{
    // Widths: "Reset" 42, "Version" 54, "Go" 24.
    const auto layout = ButtonBarLayout::compute(kOptions, 150, {"Reset", "Version", "Go"}, sixPerCharacter);
    EXPECT_EQ(layout.options, (Rect{4, 4, 16, 15}));
    ASSERT_EQ(layout.buttons.size(), 3u);
    EXPECT_EQ(layout.buttons[0], (Rect{22, 4, 42, 20}));
    EXPECT_EQ(layout.buttons[1], (Rect{66, 4, 54, 20})); // reaches 120, within 146
    EXPECT_EQ(layout.buttons[2], (Rect{122, 4, 24, 20})); // reaches exactly 146
    EXPECT_EQ(layout.requested, (Size{150, 28}));

    const auto narrower = ButtonBarLayout::compute(kOptions, 149, {"Reset", "Version", "Go"}, sixPerCharacter);
    EXPECT_EQ(narrower.buttons[2], (Rect{4, 26, 24, 20}));
    EXPECT_EQ(narrower.requested, (Size{124, 50}));
}

TEST(ButtonBarLayout, ButtonWiderThanTheBarGetsARowOfItsOwn)
{
    const auto layout = ButtonBarLayout::compute(kOptions, 40, {"A very long label", "B"}, sixPerCharacter);
    EXPECT_EQ(layout.buttons[0], (Rect{4, 26, 114, 20}));
    EXPECT_EQ(layout.buttons[1], (Rect{4, 48, 18, 20}));
    const auto none = ButtonBarLayout::compute(kOptions, -5, {"x"}, [](std::string_view) { return -100; });
    EXPECT_EQ(none.buttons[0], (Rect{4, 26, 12, 20}));
}

} // namespace
} // namespace zeb::terminal
