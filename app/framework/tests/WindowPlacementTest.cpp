#include "app/framework/WindowPlacement.h"

#include <gtest/gtest.h>

#include <limits>

namespace zeb::framework::test {
namespace {

TEST(WindowPlacement, KeepsEveryStoredPlacementWithinTheArea)
{
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    const QRect area(10, 20, 800, 600);
    struct Row
    {
        std::int32_t x, y, width, height;
        QRect expected;
    };
    const Row rows[] = {
        {30, 40, 350, 260, QRect(30, 40, 350, 260)}, // inside: unchanged
        {2147483600, -2147483600, 400, 200, QRect(410, 20, 400, 200)}, // far away: to the nearest corner
        {kMax, kMax, kMax, kMax, QRect(10, 20, 800, 600)}, // larger than the area: the area
        {kMin, 0, kMin, 0, QRect(10, 20, 120, 60)}, // no size: the smallest window
    };
    for (const Row& row : rows)
        EXPECT_EQ(WindowPlacement::reachable(row.x, row.y, row.width, row.height, area), row.expected)
            << row.x << "," << row.y << " " << row.width << "x" << row.height;
    EXPECT_EQ(WindowPlacement::reachable(kMax, kMin, 400, 200, QRect()).size(), QSize(400, 200))
        << "an area not laid out yet bounds only the overflow";
}

} // namespace
} // namespace zeb::framework::test
