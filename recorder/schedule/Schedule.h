#pragma once

// When to record: a parsed schedule phrase (see ScheduleParser) evaluated once a second. Each evaluation
// says whether the recorder should start recording, stop and wait for the next period, or stop for good.
//
//     auto schedule = ScheduleParser().parse("every minute at 30 for 10 seconds", now);
//     switch (schedule->evaluate(now)) { ... }
//
// Times are seconds since 1970 in 64 bits; the caller passes its clock's time to every call, so tests drive
// it. Periods that are already over when an evaluation comes (after a long pause) are skipped, never
// started and stopped in a burst.

#include <cstdint>
#include <optional>

namespace zeb::recorder {

enum class ScheduleMode : std::int32_t {
    Once = 1,
    EveryDay = 4,
    EveryHour = 5,
    EveryMinute = 6,
};

enum class ScheduleState : std::int32_t {
    Finished = 0,
    Waiting = 1,
    Recording = 2,
};

enum class ScheduleAction : std::int32_t {
    Nothing = 2,
    Start = 3,
    StopAndWait = 4,
    Finish = 6, // stop recording if recording; the schedule has no period left
};

class Schedule
{
public:
    ScheduleMode mode = ScheduleMode::Once;
    std::int64_t start = 0; // start of the current or next period
    std::int64_t end = 0; // start + duration
    std::int64_t duration = 0; // seconds; 0 records without end from the first start
    ScheduleState state = ScheduleState::Waiting;
    // Local wall time of every daily start; the day is that of `start`.
    int hour = 0;
    int minute = 0;
    int second = 0;

    ScheduleAction evaluate(std::int64_t now);

    // "nothing", "start", "stop" or "finished".
    static const char* actionName(ScheduleAction action);

private:
    ScheduleAction startIfDue(std::int64_t now);
    ScheduleAction stopIfOver(std::int64_t now);
    // Moves `start` to the latest period start at or before `now`; false when no time can hold it.
    bool catchUp(std::int64_t now);
    bool advance();
    // The daily start on the local day of `time` moved by `days`.
    std::optional<std::int64_t> dailyStart(std::int64_t time, int days) const;
    bool setStart(std::int64_t time);
    ScheduleAction finish();
};

} // namespace zeb::recorder
