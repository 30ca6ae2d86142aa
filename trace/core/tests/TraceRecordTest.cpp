#include "trace/core/TraceRecord.h"

#include "trace/core/TraceLevels.h"
#include "trace/core/TraceRing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zeb::trace {
namespace {

TEST(TraceRecordTest, OutputLinesReadAllFiveFieldsOrNothing)
{
    struct Case
    {
        std::string line;
        std::optional<TraceRecord> expected;
    };
    const std::vector<Case> cases = {
        {"$PKVR,DEBUG,TRACE,OUTPUT,2,NAV,nav.c,120,fix lost\r\n", TraceRecord{2, "NAV", "nav.c", 120, "fix lost"}},
        // The comment is the rest of the line, commas and all.
        {"$PKVR,DEBUG,TRACE,OUTPUT,1,GPS,gps.c,7,a, b,c\r\n", TraceRecord{1, "GPS", "gps.c", 7, "a, b,c"}},
        {"$PKVR,DEBUG,TRACE,OUTPUT,0,X,x.c,1,level zero", TraceRecord{0, "X", "x.c", 1, "level zero"}},
        // Four fields, an empty comment, a level that is no number, another sentence.
        {"$PKVR,DEBUG,TRACE,OUTPUT,2,NAV,nav.c,120\r\n", std::nullopt},
        {"$PKVR,DEBUG,TRACE,OUTPUT,2,NAV,nav.c,120,\r\n", std::nullopt},
        {"$PKVR,DEBUG,TRACE,OUTPUT,x,NAV,nav.c,120,c\r\n", std::nullopt},
        {"$PKVR,DEBUG,TRACE,NAV,1,0,0,0,0,1\r\n", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(parseTraceOutput(c.line), c.expected);
    }
}

TEST(TraceRecordTest, LevelsPastSixAndLevelZeroRepeatTheSixColours)
{
    const std::vector<std::pair<std::uint32_t, std::size_t>> cases
        = {{1, 0}, {2, 1}, {6, 5}, {7, 0}, {12, 5}, {0, 5}, {4294967295U, 2}};
    for (const auto& [level, index] : cases)
        EXPECT_EQ(colourIndex(level), index) << "level " << level;
}

TEST(TraceRecordTest, RingKeepsTheMostRecentRecordsInOrder)
{
    TraceRing ring;
    for (std::uint32_t i = 1; i <= 1005; ++i)
        ring.append(TraceRecord{2, "NAV", "nav.c", i, "line " + std::to_string(i)});
    ASSERT_EQ(ring.size(), 1000U);
    EXPECT_EQ(ring.appended(), 1005U);
    EXPECT_EQ(ring.at(0).line, 6U);
    EXPECT_EQ(ring.at(999).comment, "line 1005");

    ring.clear();
    EXPECT_EQ(ring.size(), 0U);
    ring.append(TraceRecord{1, "A", "a.c", 1, "again"});
    ASSERT_EQ(ring.size(), 1U);
    EXPECT_EQ(ring.at(0).comment, "again");
}

} // namespace
} // namespace zeb::trace
