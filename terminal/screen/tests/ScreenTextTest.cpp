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

TEST_F(ScreenTextTest, StartsInactiveAndSwitchesBackground)
{
    EXPECT_TRUE(screen.inactive());
    EXPECT_TRUE(screen.inputReadOnly());
    EXPECT_EQ(screen.background(), 0xC0C0C0u);
    screen.setInactive(false);
    EXPECT_FALSE(screen.inputReadOnly());
    EXPECT_EQ(screen.background(), 0xFFFFFFu);
}

TEST_F(ScreenTextTest, CopiesSelectedPartsJoinedByCrLf)
{
    screen.addText("hello\r\nworld wide\r\nx\r\n");
    struct Case
    {
        int fromColumn, fromRow, toColumn, toRow;
        const char* copied;
    };
    const Case cases[] = {
        {1, 0, 5, 1, "ello\r\nworld"}, // the last line not reached to its end: no CR LF
        {5, 1, 1, 0, "ello\r\nworld"}, // dragged backwards
        {1, 0, 15, 1, "ello\r\nworld wide\r\n"}, // past the end of the line: reaches it
        {0, 0, 19, 4, "hello\r\nworld wide\r\nx\r\n"}, // below the last line: clamped to it
        {2, 1, 6, 1, "rld "},
        {3, 0, 3, 0, ""}, // a click selects nothing and copies nothing
        {9, 0, 9, 0, ""}, // even past the end of the line
    };
    for (const Case& c : cases) {
        EXPECT_EQ(drag(c.fromColumn, c.fromRow, c.toColumn, c.toRow), c.copied)
            << c.fromColumn << "," << c.fromRow << " to " << c.toColumn << "," << c.toRow;
    }
}

TEST_F(ScreenTextTest, SelectionFollowsTheMouseFromTheAnchor)
{
    screen.addText("abcdef\r\nghijkl\r\n");
    screen.mousePress(x(3), y(1));
    screen.mouseMove(x(1), y(0));
    EXPECT_EQ(screen.selection().start(), (ScreenPosition{0, 1}));
    EXPECT_EQ(screen.selection().end(), (ScreenPosition{1, 3}));
    EXPECT_EQ(screen.selectedColumns(0), (ColumnRange{1, 6}));
    EXPECT_EQ(screen.selectedColumns(1), (ColumnRange{0, 3}));
    screen.mouseMove(x(5), y(1));
    EXPECT_EQ(screen.selection().start(), (ScreenPosition{1, 3}));
    EXPECT_TRUE(screen.selectedColumns(0).empty());
    EXPECT_EQ(screen.mouseRelease(), "jk");
    // Moving without the button changes nothing.
    screen.mouseMove(x(0), y(0));
    EXPECT_EQ(screen.selection().start(), (ScreenPosition{1, 3}));
}

TEST_F(ScreenTextTest, DoubleClickCopiesTheWholeLine)
{
    screen.addText("first\r\n\r\nthird");
    EXPECT_EQ(screen.doubleClick(x(2), y(0)), "first\r\n");
    EXPECT_EQ(screen.doubleClick(x(2), y(1)), "\r\n");
    EXPECT_EQ(screen.doubleClick(x(0), y(4)), "third\r\n");
    // The release that follows a double click copies nothing more.
    EXPECT_EQ(screen.mouseRelease(), "");
}

TEST_F(ScreenTextTest, NoLinesNoSelection)
{
    screen.mousePress(x(1), y(1));
    EXPECT_FALSE(screen.selection().exists());
    EXPECT_EQ(screen.mouseRelease(), "");
    EXPECT_EQ(screen.doubleClick(x(1), y(1)), "");
}

TEST_F(ScreenTextTest, AddingTextClearsSelection)
{
    screen.addText("abc\r\n");
    screen.mousePress(x(0), y(0));
    screen.addText("def\r\n");
    EXPECT_FALSE(screen.selection().exists());
    screen.mouseMove(x(2), y(1));
    EXPECT_EQ(screen.mouseRelease(), "");
}

TEST_F(ScreenTextTest, CellsFollowTheScrollPositions)
{
    for (int i = 0; i < 12; ++i) {
        screen.addText("line " + std::to_string(i) + " abcdefghijklmnopqrstuvwxyz\r\n");
    }
    EXPECT_EQ(screen.firstVisibleLine(), 7);
    screen.scrollHorizontal(ScrollAction::PageDown);
    EXPECT_EQ(screen.cellAt(x(0), y(0)), (ScreenPosition{7, 5}));
    EXPECT_EQ(drag(0, 1, 3, 1), "8 a");
    // The mouse captured above and left of the pane selects from the first visible cell.
    EXPECT_EQ(screen.cellAt(-50, -50), (ScreenPosition{7, 5}));
    // Columns past the line's end clamp to its length.
    screen.scrollHorizontal(ScrollAction::Thumb, 500);
    EXPECT_EQ(screen.cellAt(x(0), y(0)), (ScreenPosition{7, 33}));
}

TEST_F(ScreenTextTest, AddingScrollsToShowTheLastLine)
{
    screen.addText("1\r\n2\r\n3\r\n");
    EXPECT_EQ(screen.firstVisibleLine(), 0);
    for (int i = 0; i < 297; ++i) {
        screen.addText("more\r\n");
    }
    EXPECT_EQ(screen.lines().lineCount(), 255);
    EXPECT_EQ(screen.vertical().maximum(), 254);
    EXPECT_EQ(screen.vertical().page(), 5);
    EXPECT_EQ(screen.firstVisibleLine(), 250);
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
        {ScrollAction::LineUp, 0, 94, 0},    {ScrollAction::PageUp, 0, 84, 0},
        {ScrollAction::PageDown, 0, 94, 5},  {ScrollAction::PageDown, 0, 99, 10},
        {ScrollAction::LineDown, 0, 99, 11}, {ScrollAction::Thumb, 3, 3, 3},
        {ScrollAction::PageUp, 0, 0, 0},     {ScrollAction::LineUp, 0, 0, 0},
        {ScrollAction::Thumb, -7, 0, 0},     {ScrollAction::Thumb, 2000000000, 99, 1023},
    };
    for (const Case& c : cases) {
        screen.scrollVertical(c.action, c.thumb);
        screen.scrollHorizontal(c.action, c.thumb);
        EXPECT_EQ(screen.firstVisibleLine(), c.vertical);
        EXPECT_EQ(screen.firstVisibleColumn(), c.horizontal);
    }
    EXPECT_EQ(screen.horizontal().page(), 20);
}

TEST_F(ScreenTextTest, ClearResetsLinesScrollAndSelection)
{
    for (int i = 0; i < 20; ++i) {
        screen.addText("abc\r\n");
    }
    screen.scrollHorizontal(ScrollAction::LineDown);
    screen.doubleClick(x(0), y(0));
    screen.clear();
    EXPECT_EQ(screen.lines().lineCount(), 0);
    EXPECT_EQ(screen.firstVisibleLine(), 0);
    EXPECT_EQ(screen.firstVisibleColumn(), 0);
    EXPECT_FALSE(screen.selection().exists());
    screen.scrollVertical(ScrollAction::LineDown);
    EXPECT_EQ(screen.firstVisibleLine(), 0);
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
