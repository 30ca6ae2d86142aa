#pragma once

// Reads a schedule phrase, "<start> for <duration>", into a Schedule. The start is one of five forms
// (immediately, today at hh:mm:ss, every day at hh:mm:ss, every hour at mm:ss, every minute at ss); the
// duration is the word for "without end" or one to four "<n> <unit>" terms from days down to seconds
// ("1 hour 30 minutes"). Without " for ..." the period has no end. Anything else, numbers out of range,
// a duration of zero or one that overflows 64 bits refuse the phrase; the caller then shows
// syntaxMessage(). The words come from a ScheduleTexts table.

#include "recorder/schedule/Schedule.h"
#include "recorder/schedule/ScheduleTexts.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace zeb::recorder {

class ScheduleParser
{
public:
    explicit ScheduleParser(const ScheduleTexts& texts = ScheduleTexts::english())
        : m_texts(texts)
    {
    }

    // The schedule, waiting, with its first start computed from `now` in local time (it may lie in the past:
    // the first evaluation then starts it if its period is still running); nullopt for a refused phrase.
    std::optional<Schedule> parse(std::string_view phrase, std::int64_t now) const;

    std::string_view syntaxMessage() const { return m_texts.syntaxMessage; }

private:
    std::optional<std::int64_t> parseDuration(std::string_view text) const;

    const ScheduleTexts& m_texts;
};

} // namespace zeb::recorder
