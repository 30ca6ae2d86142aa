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
        {base + ",59421,59422\r\n", std::vector<std::uint32_t>{59421, 59422}},
        // A checksum after the last field is part of that field's rest and ends the list.
        {base + ",7*3A\r\n", std::vector<std::uint32_t>{7}},
        // A rest that does not begin with a comma adds nothing.
        {base + ",x\r\n", std::vector<std::uint32_t>{}},
        // Sixteen numbers are not a record.
        {"$PKVR,RPC,BAR,59419,1,0,1,1,-4,12,220,1,59420,30,-7,250,60,8196,640\r\n", std::nullopt},
        {"$PKVR,RPC,BAR,SCREEN,1024\r\n", std::nullopt},
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
