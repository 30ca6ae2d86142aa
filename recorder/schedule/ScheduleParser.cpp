#include "recorder/schedule/ScheduleParser.h"

#include "recorder/schedule/LocalTime.h"

#include <array>

namespace zeb::recorder {

namespace {

// More digits could not be held after scaling to seconds anyway.
constexpr std::size_t kMaxDigits = 18;
constexpr std::size_t kMaxNumbers = 3;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Reads the phrase left to right; every step either consumes what it matched or leaves the position alone.
class Cursor
{
public:
    explicit Cursor(std::string_view text)
        : m_text(text)
    {
    }

    bool atEnd() const { return m_at == m_text.size(); }
    std::string_view rest() const { return m_text.substr(m_at); }

    bool space()
    {
        const std::size_t from = m_at;
        while (!atEnd() && isSpace(m_text[m_at])) {
            ++m_at;
        }
        return m_at > from;
    }

    // `word` without regard to case, ending where a word ends.
    bool word(std::string_view word)
    {
        Cursor probe = *this;
        if (!probe.literal(word) || !probe.atWordEnd()) {
            return false;
        }
        *this = probe;
        return true;
    }

    bool number(std::int64_t& value)
    {
        std::size_t digits = 0;
        value = 0;
        while (!atEnd() && m_text[m_at] >= '0' && m_text[m_at] <= '9') {
            if (++digits > kMaxDigits) {
                return false;
            }
            value = value * 10 + (m_text[m_at++] - '0');
        }
        return digits > 0;
    }

    // A start form: '#' a number, ' ' white space, any other character itself.
    bool form(std::string_view form, std::array<std::int64_t, kMaxNumbers>& numbers)
    {
        Cursor probe = *this;
        std::size_t count = 0;
        std::size_t wordStart = 0;
        for (std::size_t i = 0; i <= form.size(); ++i) {
            const bool last = i == form.size();
            if (last || form[i] == ' ' || form[i] == '#') {
                if (!probe.literal(form.substr(wordStart, i - wordStart))) {
                    return false;
                }
                wordStart = i + 1;
            }
            if (last) {
                break;
            }
            if (form[i] == ' ' && !probe.space()) {
                return false;
            }
            if (form[i] == '#' && (count == kMaxNumbers || !probe.number(numbers[count++]))) {
                return false;
            }
        }
        if (!probe.atWordEnd()) {
            return false;
        }
        *this = probe;
        return true;
    }

private:
    bool atWordEnd() const { return atEnd() || isSpace(m_text[m_at]); }

    bool literal(std::string_view text)
    {
        if (m_text.size() - m_at < text.size()) {
            return false;
        }
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (lower(m_text[m_at + i]) != lower(text[i])) {
                return false;
            }
        }
        m_at += text.size();
        return true;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
};

struct StartForm
{
    std::string_view ScheduleTexts::*text;
    ScheduleMode mode;
    // Largest value + 1 of each number in order; 0 ends the list.
    std::array<std::int64_t, kMaxNumbers> limits;
};

constexpr std::array<StartForm, 5> kStartForms{{
    {&ScheduleTexts::immediately, ScheduleMode::Once, {0, 0, 0}},
    {&ScheduleTexts::todayAt, ScheduleMode::Once, {24, 60, 60}},
    {&ScheduleTexts::everyDayAt, ScheduleMode::EveryDay, {24, 60, 60}},
    {&ScheduleTexts::everyHourAt, ScheduleMode::EveryHour, {60, 60, 0}},
    {&ScheduleTexts::everyMinuteAt, ScheduleMode::EveryMinute, {60, 0, 0}},
}};

constexpr std::array<std::int64_t, 4> kUnitSeconds{86400, 3600, 60, 1};

// The first start: now, or the current local day, hour or minute with the given fields put in.
std::optional<std::int64_t> firstStart(const StartForm& form, const std::array<std::int64_t, kMaxNumbers>& numbers,
                                       std::int64_t now, Schedule& schedule)
{
    if (form.limits[0] == 0) {
        return now;
    }
    auto local = LocalTime::fields(now);
    if (!local) {
        return std::nullopt;
    }
    // Numbers fill the time of day from its end: seconds last.
    std::array<int*, 3> targets{&local->hour, &local->minute, &local->second};
    std::size_t count = 0;
    while (count < kMaxNumbers && form.limits[count] != 0) {
        ++count;
    }
    for (std::size_t i = 0; i < count; ++i) {
        *targets[3 - count + i] = static_cast<int>(numbers[i]);
    }
    if (count == 3) {
        local->isDst = -1;
    }
    schedule.hour = local->hour;
    schedule.minute = local->minute;
    schedule.second = local->second;
    return LocalTime::time(*local);
}

} // namespace

std::optional<Schedule> ScheduleParser::parse(std::string_view phrase, std::int64_t now) const
{
    Cursor cursor(trimmed(phrase));
    std::array<std::int64_t, kMaxNumbers> numbers{};
    const StartForm* matched = nullptr;
    for (const StartForm& form : kStartForms) {
        if (cursor.form(m_texts.*form.text, numbers)) {
            matched = &form;
            break;
        }
    }
    if (matched == nullptr) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < kMaxNumbers && matched->limits[i] != 0; ++i) {
        if (numbers[i] >= matched->limits[i]) {
            return std::nullopt;
        }
    }
    Schedule schedule;
    schedule.mode = matched->mode;
    if (cursor.space() && !(cursor.word(m_texts.joiner) && cursor.space())) {
        return std::nullopt;
    }
    if (!cursor.atEnd()) {
        const auto duration = parseDuration(cursor.rest());
        if (!duration) {
            return std::nullopt;
        }
        schedule.duration = *duration;
    }
    const auto start = firstStart(*matched, numbers, now, schedule);
    if (!start || __builtin_add_overflow(*start, schedule.duration, &schedule.end)) {
        return std::nullopt;
    }
    schedule.start = *start;
    return schedule;
}

std::optional<std::int64_t> ScheduleParser::parseDuration(std::string_view text) const
{
    Cursor cursor(text);
    if (cursor.word(m_texts.withoutEnd) && cursor.atEnd()) {
        return 0;
    }
    std::int64_t total = 0;
    std::size_t nextUnit = 0;
    while (!cursor.atEnd()) {
        std::int64_t count = 0;
        if (!cursor.number(count)) {
            return std::nullopt;
        }
        cursor.space();
        std::size_t unit = nextUnit;
        while (unit < m_texts.units.size() && !cursor.word(m_texts.units[unit][0])
               && !cursor.word(m_texts.units[unit][1])) {
            ++unit;
        }
        std::int64_t seconds = 0;
        if (unit == m_texts.units.size() || __builtin_mul_overflow(count, kUnitSeconds[unit], &seconds)
            || __builtin_add_overflow(total, seconds, &total)) {
            return std::nullopt;
        }
        nextUnit = unit + 1;
        cursor.space();
    }
    // Zero would read as "without end", the opposite of what was written.
    if (total == 0) {
        return std::nullopt;
    }
    return total;
}

} // namespace zeb::recorder
