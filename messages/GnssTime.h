#pragma once

#include <cstdint>

namespace zeb::messages {

// GPS week number and seconds of week (0 <= seconds < 604800).
struct GnssTime
{
    static constexpr double kSecondsPerWeek = 604800.0;

    std::uint16_t week = 0;
    double seconds = 0.0;

    // The time whose position within a period of `period` seconds is `timeOfPeriod` and that
    // lies within half a period of `now`. Seconds carry into the week at 604800 and borrow
    // from it below 0.
    static GnssTime resolve(double timeOfPeriod, double period, const GnssTime& now);
    // The current time from the system clock (GPS time, leap seconds ignored).
    static GnssTime now();
};

} // namespace zeb::messages
