#include "terminal/screen/ScreenLineStore.h"

#include "testsupport/AllocationCounter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zeb::terminal {
namespace {

using namespace std::string_literals;

std::vector<std::string> linesOf(const ScreenLineStore& store)
{
    std::vector<std::string> lines;
    for (int i = 0; i < store.lineCount(); ++i) {
        lines.emplace_back(store.line(i));
    }
    return lines;
}

TEST(ScreenLineStore, SplitsLinesAtCarriageReturns)
{
    struct Case
    {
        std::vector<std::string> texts;
        std::vector<std::string> lines;
        bool open;
    };
    const Case cases[] = {
        {{"abc", "def\r\nxyz"}, {"abcdef", "xyz"}, true},
        {{"a\nb"}, {"a\nb"}, true},
        {{"a\rb"}, {"a", "b"}, true},
        {{"a\r\n\nb"}, {"a", "\nb"}, true},
        // The LF is dropped only when it follows the CR in the same text.
        {{"a\r", "\nb"}, {"a", "\nb"}, true},
        {{"abc\0def\r\n"s}, {"abc"}, true},
        {{"ab", "\r\n", "\r\n"}, {"ab", ""}, false},
    };
    for (const Case& c : cases) {
        ScreenLineStore store;
        for (const std::string& text : c.texts)
            store.addText(text);
        EXPECT_EQ(linesOf(store), c.lines) << c.texts[0];
        EXPECT_EQ(store.lastLineOpen(), c.open) << c.texts[0];
    }
}

TEST(ScreenLineStore, KeepsTheNewest255LinesWithTheirColours)
{
    ScreenLineStore store;
    for (int i = 0; i < 300; ++i) {
        store.setColour(static_cast<std::uint32_t>(i));
        store.addText("line " + std::to_string(i) + "\r\n");
    }
    ASSERT_EQ(store.lineCount(), 255);
    EXPECT_EQ(store.line(0), "line 45");
    EXPECT_EQ(store.lineColour(0), 45u);
    EXPECT_EQ(store.droppedLines(), 45u);

    // A longer scroll-back keeps what is there and takes more; a shorter one keeps the newest lines.
    store.setCapacity(1000);
    for (int i = 300; i < 1100; ++i)
        store.addText("line " + std::to_string(i) + "\r\n");
    EXPECT_EQ(store.line(0), "line 100");
    store.setCapacity(2);
    EXPECT_EQ(store.line(0), "line 1098");
    EXPECT_EQ(store.droppedLines(), 1098u);
    store.setCapacity(1 << 30);
    EXPECT_EQ(store.capacity(), ScreenLineStore::kMaxCapacity);
}

TEST(ScreenLineStore, OverlongLineGoesOnInNewLinesOfItsColour)
{
    ScreenLineStore store;
    store.setColour(7);
    store.addText("ab");
    store.setColour(9);
    const std::size_t total = 2 * ScreenLineStore::kMaxLineLength + 100;
    store.addText(std::string(total - 2, 'x'));
    ASSERT_EQ(store.lineCount(), 3);
    EXPECT_EQ(store.line(0).size(), ScreenLineStore::kMaxLineLength);
    EXPECT_EQ(store.line(0).substr(0, 3), "abx");
    EXPECT_EQ(store.line(1).size(), ScreenLineStore::kMaxLineLength);
    EXPECT_EQ(store.line(2).size(), 100u);
    EXPECT_EQ(store.lineColour(2), 7u);
    EXPECT_TRUE(store.lastLineOpen());
    store.addText("\r\nnext");
    EXPECT_EQ(store.lineColour(3), 9u);
}

TEST(ScreenLineStore, FloodAllocatesNothingOnceFull)
{
    ScreenLineStore store;
    const std::string sentence = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
    const std::string hexLine = "\r\n02 41 03 FE 41 00 04 01 FD 02 03 FF 00 11 22 33 ";
    const std::string longRun(5000, 'z');
    for (int i = 0; i < ScreenLineStore::kMaxLines; ++i) {
        store.addText(sentence);
    }
    const testsupport::AllocationCounter allocations;
    for (int i = 0; i < 2000; ++i) {
        store.addText(sentence);
        store.addText(hexLine);
        store.addText(longRun);
        store.addText("\r\n");
    }
    store.clear();
    for (int i = 0; i < 1000; ++i) {
        store.addText(sentence);
    }
    EXPECT_EQ(allocations.count(), 0u);
    EXPECT_EQ(store.lineCount(), ScreenLineStore::kMaxLines);
}

} // namespace
} // namespace zeb::terminal
