// The schedule phrase, the first start it gives and what once-a-second evaluations make of it, in UTC and in a
// zone with daylight saving.
#include "recorder/schedule/LocalTime.h"
#include "recorder/schedule/ScheduleParser.h"
#include "testsupport/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <ctime>
#include <limits>
#include <string>
#include <vector>

namespace zeb::recorder {
namespace {

constexpr const char* kUtc = "UTC0";
constexpr const char* kCentralEurope = "CET-1CEST,M3.5.0,M10.5.0/3";

class ScheduleTest : public ::testing::Test
{
protected:
    void useZone(const char* zone)
    {
        m_environment.set("TZ", zone);
        ::tzset();
    }

    void SetUp() override { useZone(kUtc); }

    static std::int64_t at(const char* local)
    {
        const auto time = LocalTime::parse(local);
        EXPECT_TRUE(time) << local;
        return time.value_or(0);
    }

private:
    testsupport::ScopedEnvironment m_environment;
};

TEST_F(ScheduleTest, ParsesTheFormsAndRefusesEverythingElse)
{
    struct Row
    {
        const char* phrase;
        ScheduleMode mode;
        const char* start; // local time of day of the first start; null: refused
        std::int64_t duration;
    };
    const Row rows[] = {
        {"Immediately for Infinite", ScheduleMode::Once, "10:20:30", 0},
        {"immediately", ScheduleMode::Once, "10:20:30", 0},
        {"  TODAY   at 23:59:59 for 5 minutes ", ScheduleMode::Once, "23:59:59", 300},
        {"today at 24:00:00", ScheduleMode::Once, nullptr, 0},
        {"every day at 6:05:00 for 1 day 2 hours 3 minutes 4 seconds", ScheduleMode::EveryDay, "06:05:00", 93784},
        {"every hour at 15:00 for 1 hour", ScheduleMode::EveryHour, "10:15:00", 3600},
        {"every hour at 60:00", ScheduleMode::EveryHour, nullptr, 0},
        {"every minute at 30 for 1 minute 1 second", ScheduleMode::EveryMinute, "10:20:30", 61},
        {"every minute at 60", ScheduleMode::EveryMinute, nullptr, 0},
        {"immediately for 5 minutes please", ScheduleMode::Once, nullptr, 0},
        {"immediately for 5", ScheduleMode::Once, nullptr, 0},
        {"immediately for 2 minutes 1 hour", ScheduleMode::Once, nullptr, 0},
        {"immediately for 1 minute 1 minute", ScheduleMode::Once, nullptr, 0},
        {"immediately for 0 seconds", ScheduleMode::Once, nullptr, 0},
        {"immediately for -5 seconds", ScheduleMode::Once, nullptr, 0},
        {"immediately for 106751991167301 days", ScheduleMode::Once, nullptr, 0},
        {"immediately for 1234567890123456789 seconds", ScheduleMode::Once, nullptr, 0},
        {"immediatelyfor 5 seconds", ScheduleMode::Once, nullptr, 0},
        {"immediately for", ScheduleMode::Once, nullptr, 0},
        {"every week at 1", ScheduleMode::Once, nullptr, 0},
        {"", ScheduleMode::Once, nullptr, 0},
    };
    const ScheduleParser parser;
    const std::int64_t now = at("2026-12-07 10:20:30");
    for (const Row& row : rows) {
        const auto schedule = parser.parse(row.phrase, now);
        ASSERT_EQ(schedule.has_value(), row.start != nullptr) << row.phrase;
        if (!schedule) {
            continue;
        }
        EXPECT_EQ(schedule->mode, row.mode) << row.phrase;
        EXPECT_EQ(LocalTime::format(schedule->start), std::string("2026-12-07 ") + row.start) << row.phrase;
        EXPECT_EQ(schedule->duration, row.duration) << row.phrase;
        EXPECT_EQ(schedule->end, schedule->start + row.duration) << row.phrase;
        EXPECT_EQ(schedule->state, ScheduleState::Waiting) << row.phrase;
    }
}

TEST_F(ScheduleTest, EvaluatesOnceASecondAndSkipsPeriodsMissedInAPause)
{
    struct Row
    {
        const char* zone;
        const char* phrase;
        const char* from;
        int seconds;
        int pauseFrom; // no evaluation in [pauseFrom, pauseTo) seconds after `from`
        int pauseTo;
        std::vector<std::string> expected;
    };
    constexpr int kDay = 86400;
    // clang-format off
    const Row rows[] = {
        {kUtc, "every minute at 30 for 10 seconds", "2026-12-07 10:00:00", 101, 0, 0,
         {"10:00:30 start", "10:00:40 stop", "10:01:30 start", "10:01:40 stop"}},
        {kUtc, "every hour at 15:00 for 1 hour", "2026-12-07 10:20:00", 3700, 0, 0,
         {"10:20:00 start", "11:15:00 stop", "11:15:01 start"}},
        {kUtc, "today at 00:00:00 for Infinite", "2026-12-07 10:00:00", 5, 0, 0, {"10:00:00 start"}},
        {kUtc, "today at 01:00:00 for 10 minutes", "2026-12-07 05:00:00", 5, 0, 0, {"05:00:00 finished"}},
        {kUtc, "today at 10:00:05 for 3 seconds", "2026-12-07 10:00:00", 20, 0, 0, {"10:00:05 start", "10:00:08 finished"}},
        {kUtc, "every minute at 0 for 10 seconds", "2026-12-07 10:00:00", 300, 5, 200,
         {"10:00:00 start", "10:03:20 stop", "10:04:00 start", "10:04:10 stop"}},
        {kUtc, "every minute at 30 for 10 seconds", "2026-12-07 10:00:00", 230, 0, 215, {"10:03:35 start", "10:03:40 stop"}},
        {kCentralEurope, "every day at 10:00:00 for 1 minute", "2026-03-28 09:00:00", 3 * kDay, 0, 0,
         {"03-28 10:00:00 start", "03-28 10:01:00 stop", "03-29 10:00:00 start", "03-29 10:01:00 stop",
          "03-30 10:00:00 start", "03-30 10:01:00 stop"}},
        {kCentralEurope, "every day at 10:00:00 for 1 hour", "2026-03-28 09:00:00", 2 * kDay + 3 * 3600, 0,
         2 * kDay - 7200, {"03-30 10:00:00 start", "03-30 11:00:00 stop"}},
    };
    // clang-format on
    const ScheduleParser parser;
    for (const Row& row : rows) {
        useZone(row.zone);
        const std::int64_t from = at(row.from);
        auto schedule = parser.parse(row.phrase, from);
        ASSERT_TRUE(schedule) << row.phrase;
        // Times of day only when the row stays within one day; month and day otherwise.
        const std::size_t shown = row.seconds > kDay ? 5 : 11;
        std::vector<std::string> actions;
        for (int second = 0; second < row.seconds; ++second) {
            if (second >= row.pauseFrom && second < row.pauseTo) {
                continue;
            }
            const auto action = schedule->evaluate(from + second);
            if (action != ScheduleAction::Nothing) {
                actions.push_back(LocalTime::format(from + second).substr(shown) + " " + Schedule::actionName(action));
            }
        }
        EXPECT_EQ(actions, row.expected) << row.phrase << " from " << row.from;
    }
}

TEST_F(ScheduleTest, RefusesTimesBeyondSixtyFourBitsInsteadOfWrapping)
{
    constexpr std::int64_t kLast = std::numeric_limits<std::int64_t>::max();
    const ScheduleParser parser;
    EXPECT_FALSE(parser.parse("immediately for 10 seconds", kLast - 5));
    EXPECT_FALSE(parser.parse("today at 10:00:00", kLast));

    Schedule schedule;
    schedule.mode = ScheduleMode::EveryMinute;
    schedule.duration = 10;
    schedule.start = kLast - 30;
    schedule.end = kLast - 20;
    schedule.state = ScheduleState::Recording;
    EXPECT_EQ(schedule.evaluate(kLast), ScheduleAction::Finish);
    EXPECT_EQ(schedule.evaluate(kLast), ScheduleAction::Nothing);
}

TEST_F(ScheduleTest, ReadsLocalTimesAndRefusesDatesThatDoNotExist)
{
    EXPECT_EQ(LocalTime::format(at("2026-12-07 23:59:59")), "2026-12-07 23:59:59");
    for (const char* text : {"2026-02-29 00:00:00", "2026-12-07 24:00:00", "2026-12-07T10:00:00", "2026-12-07 1:00:00",
                             "2026-12-07 10:00:00 "}) {
        EXPECT_FALSE(LocalTime::parse(text)) << text;
    }
}

} // namespace
} // namespace zeb::recorder
