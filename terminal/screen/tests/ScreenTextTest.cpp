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

TEST_F(ScreenTextTest, ReaderKeepsPlaceAndSelectionWhileLinesArrive)
{
    for (int i = 0; i < 255; ++i)
        screen.addText("old " + std::to_string(i) + "\r\n");
    EXPECT_TRUE(screen.following());
    screen.scrollVertical(ScrollAction::PageUp);
    ASSERT_EQ(screen.firstVisibleLine(), 240);
    EXPECT_EQ(drag(0, 0, 3, 0), "old");
    // Three full lines in, three old ones out: the view and the selection move up with their text.
    screen.addText("new 1\r\nnew 2\r\nnew 3\r\n");
    EXPECT_EQ(screen.firstVisibleLine(), 237);
    EXPECT_EQ(screen.selection().copiedText(screen.lines()), "old");
    EXPECT_EQ(screen.unseenLines(), 3);
    // Once the selected text itself goes, so does the selection.
    for (int i = 0; i < 240; ++i)
        screen.addText("flood\r\n");
    EXPECT_FALSE(screen.selection().exists());
    EXPECT_EQ(screen.firstVisibleLine(), 0);
    EXPECT_EQ(screen.unseenLines(), 243);
    // Back at the bottom the count is gone and the screen follows again.
    screen.scrollVertical(ScrollAction::Thumb, 1000);
    EXPECT_EQ(screen.unseenLines(), 0);
    screen.addText("last\r\n");
    EXPECT_EQ(screen.firstVisibleLine(), 255 - 5);
}

TEST_F(ScreenTextTest, FindsNextAndPreviousIgnoringCaseAndWraps)
{
    screen.addText("$GPGGA,1\r\nabc\r\n$gpgga,2 $GPGGA,3\r\n");
    struct Case
    {
        bool forward;
        ScreenPosition at;
    };
    const Case cases[] = {
        {true, {0, 0}},  {true, {2, 0}},  {true, {2, 9}}, {true, {0, 0}}, // wraps to the first line
        {false, {2, 9}}, {false, {2, 0}}, // backwards, wrapping to the end
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(screen.find("$GpGga", c.forward));
        EXPECT_EQ(screen.selection().start(), c.at) << c.at.line << "," << c.at.column;
        EXPECT_EQ(screen.selection().end().column, c.at.column + 6);
    }
    EXPECT_FALSE(screen.find("absent", true));
    EXPECT_EQ(screen.selection().start(), (ScreenPosition{2, 0}));
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
