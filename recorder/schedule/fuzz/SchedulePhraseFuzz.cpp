// Parses arbitrary text as a schedule phrase and evaluates what parses over simulated seconds with pauses:
// actions must follow the schedule's states (start only while waiting, stop only while recording, nothing after
// the end) and a started period must still be running.
#include "recorder/schedule/ScheduleParser.h"
#include "testsupport/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using zeb::testsupport::check;
using namespace zeb::recorder;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // 2026-12-07 10:20:30 UTC
    constexpr std::int64_t kNow = 1796638830;
    const std::string_view phrase(reinterpret_cast<const char*>(data), size);
    const ScheduleParser parser;
    auto schedule = parser.parse(phrase, kNow);
    if (!schedule) {
        return 0;
    }
    check(schedule->state == ScheduleState::Waiting && schedule->duration >= 0);
    check(schedule->end == schedule->start + schedule->duration);
    std::int64_t now = kNow;
    for (int step = 0; step < 2000; ++step) {
        // Mostly single seconds, with a pause of up to a day every so often.
        now += step % 97 == 96 ? (step * 7919) % 86400 : 1;
        const ScheduleState before = schedule->state;
        const ScheduleAction action = schedule->evaluate(now);
        switch (action) {
        case ScheduleAction::Start:
            check(before == ScheduleState::Waiting && schedule->start <= now);
            check(schedule->duration == 0 || now < schedule->end);
            break;
        case ScheduleAction::StopAndWait:
            check(before == ScheduleState::Recording && schedule->mode != ScheduleMode::Once);
            check(schedule->start + schedule->duration == schedule->end);
            break;
        case ScheduleAction::Finish:
            check(before != ScheduleState::Finished && schedule->state == ScheduleState::Finished);
            break;
        case ScheduleAction::Nothing:
            check(schedule->state == before);
            break;
        }
    }
    return 0;
}
