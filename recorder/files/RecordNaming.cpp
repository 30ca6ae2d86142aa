#include "recorder/files/RecordNaming.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <sys/stat.h>

namespace zeb::recorder {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

} // namespace

RecordNaming::LocalTime RecordNaming::LocalTime::now()
{
    const std::time_t seconds = std::time(nullptr);
    std::tm local{};
    localtime_r(&seconds, &local);
    return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

RecordNaming::GnssWeekTime RecordNaming::gnssWeekTime(const LocalTime& time)
{
    const std::int64_t m = time.month;
    const std::int64_t y = time.year;
    // Whole days from 6 January 1980, by the month-of-30.6-days rule.
    const auto monthDays = std::lround(static_cast<double>(m >= 3 ? m - 3 : m + 9) * 30.6);
    const auto yearDays = static_cast<std::int64_t>(static_cast<double>(m >= 3 ? y - 1900 : y - 1901) * 365.25);
    const std::int64_t days = monthDays + yearDays + time.day - 29166;
    const std::int64_t total
        = days * kSecondsPerDay + std::int64_t{time.hour} * 3600 + std::int64_t{time.minute} * 60 + time.second;
    if (total < 0)
        return {};
    constexpr std::int64_t kWeek = 7 * kSecondsPerDay;
    return GnssWeekTime{static_cast<std::uint32_t>(total / kWeek), static_cast<std::uint32_t>(total % kWeek)};
}

std::string RecordNaming::name(unsigned index, const LocalTime& time) const
{
    char middle[96];
    if (convention == 1) {
        const GnssWeekTime gnss = gnssWeekTime(time);
        std::snprintf(middle, sizeof middle, "-%04u-%06u-%u.", gnss.week, gnss.second, index);
    } else if (convention == 3) {
        std::snprintf(middle, sizeof middle, "-%02u%02u%04u-%02u%02u%02u-%u.", static_cast<unsigned>(time.day),
                      static_cast<unsigned>(time.month), static_cast<unsigned>(time.year),
                      static_cast<unsigned>(time.hour), static_cast<unsigned>(time.minute),
                      static_cast<unsigned>(time.second), index);
    } else {
        std::snprintf(middle, sizeof middle, "-%u.", index);
    }
    return directory + "/" + baseName + middle + extension;
}

std::optional<std::pair<unsigned, std::string>> RecordNaming::firstFree(unsigned from, const LocalTime& time) const
{
    const auto index = firstFreeIndex(from, [&](unsigned i) { return exists(name(i, time)); });
    if (!index)
        return std::nullopt;
    return std::pair{*index, name(*index, time)};
}

std::optional<unsigned> RecordNaming::firstFreeIndex(unsigned from, const std::function<bool(unsigned)>& taken)
{
    for (unsigned tries = 0; tries < kMaxTries && from + tries >= from; ++tries) {
        if (!taken(from + tries))
            return from + tries;
    }
    return std::nullopt;
}

bool RecordNaming::exists(const std::string& path)
{
    struct stat status
    { };
    return ::lstat(path.c_str(), &status) == 0;
}

} // namespace zeb::recorder
