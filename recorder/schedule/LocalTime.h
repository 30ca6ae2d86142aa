#pragma once

// Conversions between times (seconds since 1970) and the local calendar of the zone the process has (TZ).
// Every conversion may fail for times the C library cannot represent; callers get nullopt, never a wrapped
// value.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zeb::recorder {

struct LocalFields
{
    int year = 1970;
    int month = 1; // 1-12
    int day = 1; // 1-31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int isDst = -1; // as struct tm: -1 lets the zone decide

    bool operator==(const LocalFields&) const = default;
};

class LocalTime
{
public:
    static std::optional<LocalFields> fields(std::int64_t time);
    // Fields out of their ranges are carried into the next larger field (day 32 is the 1st of the next month);
    // a wall time that the zone skips comes out shifted by the skipped amount.
    static std::optional<std::int64_t> time(const LocalFields& fields);
    // `fields` moved by whole calendar days, its time of day kept.
    static LocalFields addDays(LocalFields fields, int days);

    // "YYYY-MM-DD hh:mm:ss" and back; parse refuses fields out of range and dates that do not exist.
    static std::string format(std::int64_t time);
    static std::optional<std::int64_t> parse(std::string_view text);
};

} // namespace zeb::recorder
