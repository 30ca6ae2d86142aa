#include "terminal/screen/ScreenText.h"

#include <gtest/gtest.h>

#include <string>

namespace zeb::terminal {
namespace {

// Cells of 10 × 20 pixels in a pane of 200 × 100: 5 lines of 20 columns.
class ScreenTextTest : public testing::Test
{
protected:
    void SetUp() override
    {
        screen.setCellSize(10, 20);
        screen.setPaneSize(200, 100);
    }

    // The pixel point in the middle of a visible cell.
    static int x(int column) { return column * 10 + 5; }
    static int y(int row) { return row * 20 + 5; }

    std::string drag(int fromColumn, int fromRow, int toColumn, int toRow)
    {
        screen.mousePress(x(fromColumn), y(fromRow));
        screen.mouseMove(x(toColumn), y(toRow));
        return screen.mouseRelease();
    }

    ScreenText screen;
};

TEST_F(ScreenTextTest, CopiesSelectedPartsJoinedByCrLf)
{
    screen.addText("hello\r\nworld wide\r\nx\r\n");
    struct Case
    {
        int fromColumn, fromRow, toColumn, toRow;
        const char* copied;
    };
    const Case cases[] = {
        {5, 1, 1, 0, "ello\r\nworld"}, // dragged backwards; the last line not reached to its end: no CR LF
        {1, 0, 15, 1, "ello\r\nworld wide\r\n"}, // past the end of the line: reaches it
        {0, 0, 19, 4, "hello\r\nworld wide\r\nx\r\n"}, // below the last line: clamped to it
        {3, 0, 3, 0, ""}, // a click selects nothing and copies nothing
    };
    for (const Case& c : cases) {
        EXPECT_EQ(drag(c.fromColumn, c.fromRow, c.toColumn, c.toRow), c.copied)
            << c.fromColumn << "," << c.fromRow << " to " << c.toColumn << "," << c.toRow;
    }
}

TEST_F(ScreenTextTest, ScrollStepsAndClamps)
{
    for (int i = 0; i < 100; ++i) {
        screen.addText("x\r\n");
    }
    struct Case
    {
        ScrollAction action;
        int thumb;
        int vertical;
        int horizontal;
    };
    // Starting at line 95 and column 0; lines 0..99, columns 0..1023.
    const Case cases[] = {
        {ScrollAction::PageUp, 0, 85, 0}, {ScrollAction::PageDown, 0, 95, 5},
        {ScrollAction::Thumb, 3, 3, 3},   {ScrollAction::LineUp, 0, 2, 2},
        {ScrollAction::Thumb, -7, 0, 0},  {ScrollAction::Thumb, 2000000000, 99, 1023},
    };
    for (const Case& c : cases) {
        screen.scrollVertical(c.action, c.thumb);
        screen.scrollHorizontal(c.action, c.thumb);
        EXPECT_EQ(screen.firstVisibleLine(), c.vertical);
        EXPECT_EQ(screen.firstVisibleColumn(), c.horizontal);
    }
    EXPECT_EQ(screen.horizontal().page(), 20);
}

TEST(ScreenTextGeometry, DegenerateSizesStaySafe)
{
    ScreenText screen;
    screen.setCellSize(0, 0);
    screen.setPaneSize(-10, 5);
    EXPECT_EQ(screen.visibleColumns(), 0);
    screen.setPaneSize(10, 0);
    screen.addText("a\r\nb\r\nc");
    // No line fits: the last one is still the first shown.
    EXPECT_EQ(screen.visibleLines(), 0);
    EXPECT_EQ(screen.firstVisibleLine(), 2);
    EXPECT_EQ(screen.cellAt(1000000, 1000000), (ScreenPosition{2, 1}));
}

} // namespace
} // namespace zeb::terminal
