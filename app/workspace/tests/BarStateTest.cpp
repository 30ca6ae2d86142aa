#include "app/workspace/BarState.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace zeb::workspace {
namespace {

constexpr const char* kSeventeen = "$PKVR,RPC,BAR,59419,1,0,1,1,-4,12,220,1,59420,30,-7,250,60,8196,640,480";

BarRecord seventeenFields()
{
    BarRecord r;
    r.id = 59419;
    r.visible = 1;
    r.floating = 0;
    r.horizontal = 1;
    r.isDockBar = 1;
    r.x = -4;
    r.y = 12;
    r.mruWidth = 220;
    r.dockingAllowed = 1;
    r.mruDockId = 59420;
    r.mruTop = 30;
    r.mruLeft = -7;
    r.mruRight = 250;
    r.mruBottom = 60;
    r.mruFloatStyle = 8196;
    r.mruFloatX = 640;
    r.mruFloatY = 480;
    return r;
}

TEST(BarState, ReadsRecordLines)
{
    struct Case
    {
        std::string line;
        std::optional<std::vector<std::uint32_t>> contained; // none: the line is rejected
    };
    const std::string base = kSeventeen;
    const Case cases[] = {
        {base + "\r\n", std::vector<std::uint32_t>{}},
        {base + "\n", std::vector<std::uint32_t>{}},
        {base, std::vector<std::uint32_t>{}},
        {base + ",59421,59422\r\n", std::vector<std::uint32_t>{59421, 59422}},
        {base + ",7\r\n", std::vector<std::uint32_t>{7}},
        // A checksum after the last field is part of that field's rest and ends the list.
        {base + ",7*3A\r\n", std::vector<std::uint32_t>{7}},
        {base + "*3A\r\n", std::vector<std::uint32_t>{}},
        // A trailing comma, or a rest that does not begin with a comma, adds nothing.
        {base + ",5,\r\n", std::vector<std::uint32_t>{5}},
        {base + ",x\r\n", std::vector<std::uint32_t>{}},
        {base + " ,5\r\n", std::vector<std::uint32_t>{}},
        {base + ",5 ,6\r\n", std::vector<std::uint32_t>{5}},
        {base + ",-1\r\n", std::vector<std::uint32_t>{4294967295u}},
        // Sixteen numbers are not a record.
        {"$PKVR,RPC,BAR,59419,1,0,1,1,-4,12,220,1,59420,30,-7,250,60,8196,640\r\n", std::nullopt},
        {"$PKVR,RPC,BAR,59419,1,0,1,1,-4,12,220,1,59420,30,-7,250,60,8196,640,\r\n", std::nullopt},
        {"$PKVR,RPC,BAR,SCREEN,1024\r\n", std::nullopt},
        {"$PKVR,RPC,BAR,\r\n", std::nullopt},
        {"$PKVR,RPC,BARS,1,1,0,1,1,-4,12,220,1,59420,30,-7,250,60,8196,640,480\r\n", std::nullopt},
        {"$PKVR,RPC,FRAME,1,2,3,4\r\n", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        BarState state;
        const bool handled = state.handleLine(c.line);
        ASSERT_EQ(handled, c.contained.has_value());
        EXPECT_EQ(state.loaded, handled);
        if (!handled) {
            EXPECT_TRUE(state.records.empty());
            continue;
        }
        ASSERT_EQ(state.records.size(), 1u);
        BarRecord expected = seventeenFields();
        expected.contained = *c.contained;
        EXPECT_EQ(state.records[0], expected);
    }
}

TEST(BarState, CountAndScreenAreAcceptedAndChangeNothing)
{
    BarState state;
    for (const char* line : {"$PKVR,RPC,BAR,COUNT,3\r\n", "$PKVR,RPC,BAR,SCREEN,1280,1024\r\n", "$PKVR,RPC,BAR,COUNT,3",
                             "$PKVR,RPC,BAR,SCREEN,-1,-1\n"}) {
        EXPECT_TRUE(state.handleLine(line)) << line;
    }
    EXPECT_TRUE(state.records.empty());
    EXPECT_FALSE(state.loaded);
}

TEST(BarState, RecordsAccumulateInLineOrder)
{
    BarState state;
    EXPECT_TRUE(state.handleLine(std::string(kSeventeen) + ",1\r\n"));
    EXPECT_TRUE(state.handleLine("$PKVR,RPC,BAR,1,0,1,0,0,5,6,7,0,8,9,10,11,12,13,14,15\r\n"));
    ASSERT_EQ(state.records.size(), 2u);
    EXPECT_EQ(state.records[0].id, 59419u);
    EXPECT_EQ(state.records[1].id, 1u);
    EXPECT_EQ(state.records[1].mruFloatY, 15);
}

TEST(BarState, WritesCountScreenAndOneLinePerRecord)
{
    BarState state;
    BarRecord dock = seventeenFields();
    dock.contained = {59421, 59422};
    state.records = {dock, BarRecord{}};
    EXPECT_EQ(state.lines(1280, 1024),
              "$PKVR,RPC,BAR,COUNT,2\r\n"
              "$PKVR,RPC,BAR,SCREEN,1280,1024\r\n"
                  + std::string(kSeventeen)
                  + ",59421,59422\r\n"
                    "$PKVR,RPC,BAR,0,1,0,1,0,0,0,0,1,0,0,0,0,0,0,0,0\r\n");
    EXPECT_EQ(BarState().lines(800, 600), "$PKVR,RPC,BAR,COUNT,0\r\n$PKVR,RPC,BAR,SCREEN,800,600\r\n");
}

TEST(BarState, RecordLinesReadBackToTheSameRecord)
{
    BarRecord extreme = seventeenFields();
    extreme.id = 4294967295u;
    extreme.x = -2147483647 - 1;
    extreme.mruTop = 2147483647;
    extreme.mruLeft = -1;
    extreme.contained = {0, 4294967295u, 17};
    for (const BarRecord& record : {seventeenFields(), extreme, BarRecord{}}) {
        BarState state;
        ASSERT_TRUE(state.handleLine(BarState::recordLine(record)));
        ASSERT_EQ(state.records.size(), 1u);
        EXPECT_EQ(state.records[0], record);
    }
}

} // namespace
} // namespace zeb::workspace
