#include "messages/GnssTime.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace zeb::messages {

namespace {

// 1980-01-06 00:00:00 UTC, the start of GPS week 0, in Unix seconds.
constexpr double kGpsEpochUnixSeconds = 315964800.0;

} // namespace

GnssTime GnssTime::resolve(double timeOfPeriod, double period, const GnssTime& now)
{
    GnssTime result = now;
    if (!(period > 0.0) || !std::isfinite(timeOfPeriod) || !std::isfinite(now.seconds)) {
        return result;
    }
    double seconds = std::floor(now.seconds / period) * period + timeOfPeriod;
    // Move by whole periods to the candidate nearest to now: within [-period/2, period/2).
    seconds -= std::floor((seconds - now.seconds) / period + 0.5) * period;
    if (!std::isfinite(seconds) || std::fabs(seconds) > 1e15) {
        return result;
    }
    const double weeks = std::floor(seconds / kSecondsPerWeek);
    result.seconds = seconds - weeks * kSecondsPerWeek;
    // The week number wraps like the receivers' own 16-bit counter.
    result.week = static_cast<std::uint16_t>(static_cast<std::int64_t>(now.week) + static_cast<std::int64_t>(weeks));
    return result;
}

GnssTime GnssTime::now()
{
    // The coarse clock is a plain memory read, while the precise one can cost a system call on a
    // virtual machine; this is called for every RTCM message and needs no better than seconds.
    timespec coarse{};
    double unix = 0.0;
    if (::clock_gettime(CLOCK_REALTIME_COARSE, &coarse) == 0) {
        unix = static_cast<double>(coarse.tv_sec) + static_cast<double>(coarse.tv_nsec) * 1e-9;
    } else {
        unix = std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
    }
    const double gps = unix - kGpsEpochUnixSeconds;
    const double weeks = std::floor(gps / kSecondsPerWeek);
    GnssTime time;
    time.week = static_cast<std::uint16_t>(static_cast<std::int64_t>(weeks));
    time.seconds = gps - weeks * kSecondsPerWeek;
    return time;
}

} // namespace zeb::messages
