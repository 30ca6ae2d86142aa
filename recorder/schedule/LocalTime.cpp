#include "recorder/schedule/LocalTime.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <limits>

namespace zeb::recorder {

namespace {

bool digitsAt(std::string_view text, std::size_t at, std::size_t count, int& value)
{
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

} // namespace

std::optional<LocalFields> LocalTime::fields(std::int64_t time)
{
    if (time < std::numeric_limits<std::time_t>::min() || time > std::numeric_limits<std::time_t>::max()) {
        return std::nullopt;
    }
    const std::time_t t = static_cast<std::time_t>(time);
    std::tm tm{};
    if (::localtime_r(&t, &tm) == nullptr) {
        return std::nullopt;
    }
    return LocalFields{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, tm.tm_isdst};
}

std::optional<std::int64_t> LocalTime::time(const LocalFields& fields)
{
    if (fields.year < std::numeric_limits<int>::min() + 1900) {
        return std::nullopt;
    }
    std::tm tm{};
    tm.tm_year = fields.year - 1900;
    tm.tm_mon = fields.month - 1;
    tm.tm_mday = fields.day;
    tm.tm_hour = fields.hour;
    tm.tm_min = fields.minute;
    tm.tm_sec = fields.second;
    tm.tm_isdst = fields.isDst;
    // -1 is also a valid time (one second before 1970), so the fields mktime normalises tell success apart.
    tm.tm_wday = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1) && tm.tm_wday == -1) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(t);
}

LocalFields LocalTime::addDays(LocalFields fields, int days)
{
    using namespace std::chrono;
    const year_month_day date{year{fields.year}, month{static_cast<unsigned>(fields.month)},
                              day{static_cast<unsigned>(fields.day)}};
    const year_month_day moved{sys_days{date} + std::chrono::days{days}};
    fields.year = static_cast<int>(moved.year());
    fields.month = static_cast<int>(static_cast<unsigned>(moved.month()));
    fields.day = static_cast<int>(static_cast<unsigned>(moved.day()));
    fields.isDst = -1;
    return fields;
}

std::string LocalTime::format(std::int64_t time)
{
    const auto local = fields(time);
    if (!local) {
        return "?";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", local->year, local->month, local->day,
                  local->hour, local->minute, local->second);
    return text;
}

std::optional<std::int64_t> LocalTime::parse(std::string_view text)
{
    static constexpr std::string_view kShape = "0000-00-00 00:00:00";
    if (text.size() != kShape.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        if (kShape[i] != '0' && text[i] != kShape[i]) {
            return std::nullopt;
        }
    }
    LocalFields local;
    if (!digitsAt(text, 0, 4, local.year) || !digitsAt(text, 5, 2, local.month) || !digitsAt(text, 8, 2, local.day)
        || !digitsAt(text, 11, 2, local.hour) || !digitsAt(text, 14, 2, local.minute)
        || !digitsAt(text, 17, 2, local.second)) {
        return std::nullopt;
    }
    const std::chrono::year_month_day date{std::chrono::year{local.year},
                                           std::chrono::month{static_cast<unsigned>(local.month)},
                                           std::chrono::day{static_cast<unsigned>(local.day)}};
    if (!date.ok() || local.hour > 23 || local.minute > 59 || local.second > 59) {
        return std::nullopt;
    }
    return time(local);
}

} // namespace zeb::recorder
