#include "terminal/screen/InputLineHistory.h"
#include "terminal/screen/ScreenLayout.h"

#include <gtest/gtest.h>

#include <string>

namespace zeb::terminal {
namespace {

struct LayoutCase
{
    int width, height;
    unsigned mask;
    ScreenRect pane, input, horizontal, vertical;
};

TEST(ScreenLayout, PlacesBarsInputAndPane)
{
    const LayoutCase cases[] = {
        {400, 300, 7, {0, 0, 384, 268}, {0, 268, 384, 16}, {0, 284, 384, 16}, {384, 0, 16, 284}},
        {400, 300, 0, {0, 0, 400, 300}, {}, {}, {}},
        {400, 300, 3, {0, 0, 400, 268}, {0, 268, 400, 16}, {0, 284, 400, 16}, {}},
        // Too small for its parts: they shrink, nothing goes negative.
        {10, 20, 7, {0, 0, 0, 0}, {0, 0, 0, 4}, {0, 4, 0, 16}, {0, 0, 10, 4}},
    };
    for (const LayoutCase& c : cases) {
        const ScreenLayout layout = ScreenLayout::compute(c.width, c.height, c.mask);
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " mask " << c.mask);
        EXPECT_EQ(layout.pane, c.pane);
        EXPECT_EQ(layout.input, c.input);
        EXPECT_EQ(layout.horizontalBar, c.horizontal);
        EXPECT_EQ(layout.verticalBar, c.vertical);
    }
}

TEST(InputLineHistory, UpAndDownWalkTheRing)
{
    InputLineHistory history;
    history.enter("first");
    history.enter("second");
    history.enter("third");
    EXPECT_EQ(history.up(), "third");
    EXPECT_EQ(history.up(), "second");
    EXPECT_EQ(history.down(), "third");
    EXPECT_EQ(history.down(), ""); // the next, unused slot
    EXPECT_EQ(history.up(), "third");
    EXPECT_EQ(history.up(), "second");
    EXPECT_EQ(history.up(), "first");
    EXPECT_EQ(history.up(), ""); // wrapped to the last slot of the ring
    EXPECT_EQ(history.index(), InputLineHistory::kSlots - 1);
}

} // namespace
} // namespace zeb::terminal
