#include "heading/core/CompassLayout.h"

#include <gtest/gtest.h>

namespace zeb::heading {
namespace {

struct SizeCase
{
    int width;
    int height;
    double radius;
    bool ticks;
};

// The radius follows the smaller side; ticks need R / 8 of at least 8 pixels; a window smaller than
// the margins gets an empty card rather than a negative radius.
TEST(CompassLayoutTest, RadiusAndTicksFollowTheSmallerSide)
{
    for (const SizeCase& c : std::vector<SizeCase>{{300, 300, 140, true},
                                                   {148, 400, 64, true},
                                                   {147, 400, 63.5, false},
                                                   {10, 5, 0, false},
                                                   {0, 0, 0, false}}) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        const CompassLayout layout(c.width, c.height, 0);
        EXPECT_DOUBLE_EQ(layout.radius(), c.radius);
        EXPECT_EQ(layout.showsTicks(), c.ticks);
        EXPECT_EQ(layout.ticks().size(), c.ticks ? 72u : 0u);
        EXPECT_EQ(layout.labels().size(), c.ticks ? 24u : 0u);
    }
}

// The displayed heading stands at the top; larger angles lie to its right.
TEST(CompassLayoutTest, TurnsTheCardSoTheHeadingIsAtTheTop)
{
    const CompassLayout layout(300, 300, 30);
    const CompassLayout::Point top = layout.at(30, 100);
    EXPECT_NEAR(top.x, 150, 1e-9);
    EXPECT_NEAR(top.y, 50, 1e-9);
    const CompassLayout::Point right = layout.at(120, 100);
    EXPECT_NEAR(right.x, 250, 1e-9);
    EXPECT_NEAR(right.y, 150, 1e-9);
    EXPECT_TRUE(layout.onRing(150, 150 - 120));
    EXPECT_FALSE(layout.onRing(150, 150 - 100));
    EXPECT_FALSE(layout.onRing(295, 295));
}

} // namespace
} // namespace zeb::heading
