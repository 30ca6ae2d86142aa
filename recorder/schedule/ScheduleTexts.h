#pragma once

// The words of the schedule phrase in one language: the five start forms, the joining word, the word for
// "without end", the duration units and the message shown when a phrase is refused. The parser reads
// only this table, so another language is one more table.

#include <array>
#include <string_view>

namespace zeb::recorder {

struct ScheduleTexts
{
    // Start forms. '#' stands for an unsigned decimal number, a space for any run of white space; letters
    // match without regard to case.
    std::string_view immediately;
    std::string_view todayAt; // hours, minutes, seconds
    std::string_view everyDayAt; // hours, minutes, seconds
    std::string_view everyHourAt; // minutes, seconds
    std::string_view everyMinuteAt; // seconds
    // Joins the start form to the duration text.
    std::string_view joiner;
    // The whole duration text for a period without end.
    std::string_view withoutEnd;
    // Duration units from the largest (days) to the smallest (seconds); each as {plural, singular}.
    std::array<std::array<std::string_view, 2>, 4> units;
    // Shown, as it is, for a refused phrase.
    std::string_view syntaxMessage;

    static const ScheduleTexts& english();
};

} // namespace zeb::recorder
