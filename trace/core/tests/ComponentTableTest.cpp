#include "trace/core/ComponentTable.h"

#include "trace/core/LevelRequest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zeb::trace {
namespace {

using Levels = std::array<bool, kLevelCount>;

TEST(ComponentTableTest, ComponentLinesReadWithOrWithoutBlanks)
{
    struct Case
    {
        std::string line;
        std::optional<ComponentSwitches> expected;
    };
    const std::vector<Case> cases = {
        {"$PKVR,DEBUG,TRACE,GPS , 1 , 0 , 0 , 0 , 0 , 1 \r\n",
         ComponentSwitches{"GPS", {true, false, false, false, false, true}}},
        {"$PKVR,DEBUG,TRACE,NAV,0,2,0,0,0,0\r\n", ComponentSwitches{"NAV", {false, true, false, false, false, false}}},
        {"$PKVR,DEBUG,TRACE,  RF IF ,1,1,1,1,1,1", ComponentSwitches{"RF IF", {true, true, true, true, true, true}}},
        // Too few switches, an OUTPUT line whose fields happen to be numbers, other command words, no name.
        {"$PKVR,DEBUG,TRACE,GPS,1,0,0,0,0\r\n", std::nullopt},
        {"$PKVR,DEBUG,TRACE,OUTPUT,2,3,4,5,6,7\r\n", std::nullopt},
        {"$PKVR,DEBUG,TRACE,SET,1,1,1,1,1,1\r\n", std::nullopt},
        {"$PKVR,DEBUG,TRACE, ,1,1,1,1,1,1\r\n", std::nullopt},
        {"$PKVR,DEBUG,TRACE,A\x01"
         "B,1,1,1,1,1,1\r\n",
         std::nullopt},
        {"$PKVR,DEBUG,TRACE," + std::string(kMaxComponentName + 1, 'C') + ",1,1,1,1,1,1\r\n", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(parseComponentLine(c.line), c.expected);
    }
}

TEST(ComponentTableTest, RepeatedComponentUpdatesItsRowAndRowsAreBounded)
{
    ComponentTable table;
    EXPECT_TRUE(table.apply("$PKVR,DEBUG,TRACE,GPS,1,0,0,0,0,0\r\n"));
    EXPECT_TRUE(table.apply("$PKVR,DEBUG,TRACE,NAV,0,0,0,0,0,0\r\n"));
    EXPECT_TRUE(table.apply("$PKVR,DEBUG,TRACE,GPS , 0 , 1 , 0 , 0 , 0 , 0\r\n"));
    ASSERT_EQ(table.rows().size(), 2U);
    EXPECT_EQ(table.rows()[0], (ComponentSwitches{"GPS", {false, true, false, false, false, false}}));

    for (std::size_t i = 0; i < ComponentTable::kMaxRows + 10; ++i)
        table.apply("$PKVR,DEBUG,TRACE,C" + std::to_string(i) + ",1,1,1,1,1,1");
    EXPECT_EQ(table.rows().size(), ComponentTable::kMaxRows);
}

TEST(ComponentTableTest, ClicksToggleCellsRowsColumnsAndEverything)
{
    ComponentTable table;
    table.set({"A", {true, false, false, false, false, false}});
    table.set({"B", {false, false, true, false, false, false}});

    table.toggle(1, 2);
    EXPECT_EQ(table.rows()[1].levels, (Levels{false, true, true, false, false, false}));
    table.toggleRow(1); // first switch off: all on
    EXPECT_EQ(table.rows()[1].levels, (Levels{true, true, true, true, true, true}));
    table.toggleRow(1); // first switch on: all off
    EXPECT_EQ(table.rows()[1].levels, Levels{});

    table.toggleLevel(3); // row 0 has level 3 off: on everywhere
    EXPECT_TRUE(table.rows()[0].levels[2] && table.rows()[1].levels[2]);
    table.toggleAll(); // row 0 has level 1 on: everything off
    EXPECT_EQ(table.rows()[0].levels, Levels{});
    EXPECT_EQ(table.rows()[1].levels, Levels{});

    table.toggle(5, 1); // out of range: nothing
    table.toggle(0, 7);
    EXPECT_EQ(table.rows()[0].levels, Levels{});
}

TEST(ComponentTableTest, CommitSendsOnOrOffThenEverySwitchInOrder)
{
    ComponentTable table;
    table.apply("$PKVR,DEBUG,TRACE,GPS , 1 , 0 , 0 , 0 , 0 , 1 \r\n");
    const std::vector<std::string> expected = {
        "$PKVR,DEBUG,TRACE,OFF\r\n",         "$PKVR,DEBUG,TRACE,SET,GPS,1,1\r\n", "$PKVR,DEBUG,TRACE,SET,GPS,2,0\r\n",
        "$PKVR,DEBUG,TRACE,SET,GPS,3,0\r\n", "$PKVR,DEBUG,TRACE,SET,GPS,4,0\r\n", "$PKVR,DEBUG,TRACE,SET,GPS,5,0\r\n",
        "$PKVR,DEBUG,TRACE,SET,GPS,6,1\r\n",
    };
    EXPECT_EQ(table.commitLines(false), expected);
    EXPECT_EQ(ComponentTable().commitLines(true), std::vector<std::string>{"$PKVR,DEBUG,TRACE,ON\r\n"});
}

TEST(ComponentTableTest, LevelRequestsNameAComponentAndLevelsOneToSix)
{
    EXPECT_EQ(parseLevelRequest("NAV:1,2,6"), (ComponentSwitches{"NAV", {true, true, false, false, false, true}}));
    EXPECT_EQ(parseLevelRequest("RF IF:3"), (ComponentSwitches{"RF IF", {false, false, true, false, false, false}}));
    for (const char* bad : {"NAV", "NAV:", ":1", "NAV:0", "NAV:7", "NAV:1,,2", "NAV:x", " NAV:1", "SET:1"})
        EXPECT_FALSE(parseLevelRequest(bad)) << bad;
}

} // namespace
} // namespace zeb::trace
