#include "tools/sim/TraceModel.h"

#include "tools/sim/QueryResponder.h"
#include "trace/core/TraceRecord.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace zeb::tools::sim {
namespace {

using namespace std::chrono_literals;

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line + "\n");
    return lines;
}

TEST(TraceModel, ViewListsTheComponentsAndSetSwitchesThem)
{
    TraceModel model({});
    QueryResponder responder;
    responder.setTrace(&model);

    trace::ComponentTable listed;
    for (const std::string& line : linesOf(responder.answer("$PKVR,DEBUG,TRACE,VIEW\r\n")))
        EXPECT_TRUE(listed.apply(line)) << line;
    EXPECT_EQ(listed.rows(), model.components().rows());
    ASSERT_TRUE(listed.find("NAV"));

    EXPECT_EQ(responder.answer("$PKVR,DEBUG,TRACE,SET,NAV,6,1\r\n"), "");
    EXPECT_EQ(responder.answer("$PKVR,DEBUG,TRACE,SET,NAV,1,0\r\n"), "");
    EXPECT_EQ(responder.answer("$PKVR,DEBUG,TRACE,SET,NOPE,1,1\r\n"), "");
    EXPECT_EQ(responder.answer("$PKVR,DEBUG,TRACE,SET,NAV,9,1\r\n"), "");
    const auto rows = model.components();
    EXPECT_EQ(rows.rows()[*rows.find("NAV")].levels, (std::array<bool, 6>{false, true, false, false, false, true}));
    EXPECT_FALSE(rows.find("NOPE"));

    EXPECT_EQ(responder.answer("$PKVR,DEBUG,TRACE,OFF\r\n"), "");
    EXPECT_FALSE(model.tracing());
    // Other commands still get the responder's acknowledgement.
    EXPECT_EQ(responder.answer("$PKVR,SVDSEL\r\n"), "$PKVR,ACK,SVDSEL*4D\r\n");
}

TEST(TraceModel, SendsAtItsRateOnlyTheLevelsSwitchedOn)
{
    TraceModel model({.linesPerSecond = 1000, .oddLines = false});
    const auto start = TraceModel::Clock::now();
    EXPECT_EQ(model.take(start), "");
    // Only NAV level 3 on.
    const trace::ComponentTable before = model.components();
    for (const auto& row : before.rows()) {
        for (int level = 1; level <= 6; ++level)
            model.answer("$PKVR,DEBUG,TRACE,SET," + row.name + "," + std::to_string(level) + ",0");
    }
    model.answer("$PKVR,DEBUG,TRACE,SET,NAV,3,1");

    const auto lines = linesOf(model.take(start + 100ms));
    EXPECT_NEAR(static_cast<double>(lines.size()), 100, 1);
    for (const auto& line : lines) {
        const auto record = trace::parseTraceOutput(line);
        ASSERT_TRUE(record) << line;
        EXPECT_EQ(record->level, 3U);
        EXPECT_EQ(record->component, "NAV");
    }
    // A long pause ends in one bounded batch, and tracing off sends nothing.
    EXPECT_EQ(linesOf(model.take(start + 1h)).size(), TraceModel::kBatchMax);
    model.answer("$PKVR,DEBUG,TRACE,OFF");
    EXPECT_EQ(model.take(start + 1h + 1s), "");
}

TEST(TraceModel, OddLinesBringLevelsZeroAndSevenAndMalformedSentences)
{
    TraceModel model({.linesPerSecond = 1000, .oddLines = true});
    const auto start = TraceModel::Clock::now();
    model.take(start);
    std::set<std::uint32_t> levels;
    int malformed = 0;
    for (const auto& line : linesOf(model.take(start + 1s))) {
        if (const auto record = trace::parseTraceOutput(line))
            levels.insert(record->level);
        else
            ++malformed;
    }
    EXPECT_EQ(levels, (std::set<std::uint32_t>{0, 1, 2, 7}));
    EXPECT_GT(malformed, 0);
}

} // namespace
} // namespace zeb::tools::sim
