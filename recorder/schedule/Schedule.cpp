#include "recorder/schedule/Schedule.h"

#include "recorder/schedule/LocalTime.h"

#include <algorithm>

namespace zeb::recorder {

namespace {

std::int64_t periodOf(ScheduleMode mode)
{
    switch (mode) {
    case ScheduleMode::EveryHour:
        return 3600;
    case ScheduleMode::EveryMinute:
        return 60;
    default:
        return 0;
    }
}

} // namespace

ScheduleAction Schedule::evaluate(std::int64_t now)
{
    switch (state) {
    case ScheduleState::Waiting:
        return startIfDue(now);
    case ScheduleState::Recording:
        return stopIfOver(now);
    case ScheduleState::Finished:
        break;
    }
    return ScheduleAction::Nothing;
}

ScheduleAction Schedule::startIfDue(std::int64_t now)
{
    if (now < start) {
        return ScheduleAction::Nothing;
    }
    if (mode != ScheduleMode::Once && !catchUp(now)) {
        return finish();
    }
    if (duration == 0 || now < end) {
        state = ScheduleState::Recording;
        return ScheduleAction::Start;
    }
    // The period holding `now` is already over.
    if (mode == ScheduleMode::Once) {
        return finish();
    }
    return advance() ? ScheduleAction::Nothing : finish();
}

ScheduleAction Schedule::stopIfOver(std::int64_t now)
{
    if (duration == 0 || now < end) {
        return ScheduleAction::Nothing;
    }
    if (mode == ScheduleMode::Once || !advance()) {
        return finish();
    }
    state = ScheduleState::Waiting;
    return ScheduleAction::StopAndWait;
}

const char* Schedule::actionName(ScheduleAction action)
{
    switch (action) {
    case ScheduleAction::Start:
        return "start";
    case ScheduleAction::StopAndWait:
        return "stop";
    case ScheduleAction::Finish:
        return "finished";
    case ScheduleAction::Nothing:
        break;
    }
    return "nothing";
}

bool Schedule::catchUp(std::int64_t now)
{
    if (const std::int64_t period = periodOf(mode); period != 0) {
        std::int64_t elapsed = 0;
        return !__builtin_sub_overflow(now, start, &elapsed) && setStart(start + elapsed / period * period);
    }
    const auto today = dailyStart(now, 0);
    if (!today) {
        return false;
    }
    if (*today <= now) {
        return setStart(std::max(*today, start));
    }
    const auto yesterday = dailyStart(now, -1);
    return yesterday && setStart(std::max(*yesterday, start));
}

bool Schedule::advance()
{
    if (const std::int64_t period = periodOf(mode); period != 0) {
        std::int64_t next = 0;
        return !__builtin_add_overflow(start, period, &next) && setStart(next);
    }
    // A start that a clock change moved to another day must still move forward: at most a few days.
    for (int days = 1; days <= 3; ++days) {
        const auto next = dailyStart(start, days);
        if (!next) {
            return false;
        }
        if (*next > start) {
            return setStart(*next);
        }
    }
    return false;
}

std::optional<std::int64_t> Schedule::dailyStart(std::int64_t time, int days) const
{
    auto local = LocalTime::fields(time);
    if (!local) {
        return std::nullopt;
    }
    local->hour = hour;
    local->minute = minute;
    local->second = second;
    return LocalTime::time(LocalTime::addDays(*local, days));
}

bool Schedule::setStart(std::int64_t time)
{
    std::int64_t newEnd = 0;
    if (__builtin_add_overflow(time, duration, &newEnd)) {
        return false;
    }
    start = time;
    end = newEnd;
    return true;
}

ScheduleAction Schedule::finish()
{
    state = ScheduleState::Finished;
    return ScheduleAction::Finish;
}

} // namespace zeb::recorder
