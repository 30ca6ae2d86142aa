#include "recorder/schedule/ScheduleTexts.h"

namespace zeb::recorder {

const ScheduleTexts& ScheduleTexts::english()
{
    static constexpr ScheduleTexts kEnglish{
        .immediately = "immediately",
        .todayAt = "today at #:#:#",
        .everyDayAt = "every day at #:#:#",
        .everyHourAt = "every hour at #:#",
        .everyMinuteAt = "every minute at #",
        .joiner = "for",
        .withoutEnd = "infinite",
        .units = {{{"days", "day"}, {"hours", "hour"}, {"minutes", "minute"}, {"seconds", "second"}}},
        .syntaxMessage = "Available syntax is :\n\n"
                         "   immediately [ for <n> seconds|minutes|hours ]\n"
                         "   today at <hh>::<mm>:<ss> [ for <n> seconds|minutes|hours ]\n"
                         "   every day at <hh>::<mm>:<ss> [ for <n> seconds|minutes|hours ]\n"
                         "   every hour at <mm>:<ss> [ for <n> seconds|minutes ]\n"
                         "   every minute at <ss> [ for <n> seconds ]\n",
    };
    return kEnglish;
}

} // namespace zeb::recorder
