#include "SkyConstellation.h"

#include "messages/Checksum.h"
#include "text/Format.h"

#include <array>
#include <cmath>
#include <vector>

namespace zeb::tools::sim {

namespace {

struct Orbit
{
    unsigned prn;
    double elevation; // degrees at second 0
    double azimuth;
    double climb; // degrees per second
    double turn;
};

constexpr std::array<Orbit, 12> kOrbits{{
    {2, 34.0, 40.0, 0.010, 0.030},
    {5, 62.0, 46.0, -0.008, 0.040},
    {7, 18.0, 100.0, 0.006, -0.020},
    {9, 45.0, 150.0, 0.012, 0.025},
    {12, 26.0, 200.0, -0.010, 0.030},
    {15, 71.0, 250.0, 0.004, -0.050},
    {18, 14.0, 300.0, 0.008, 0.020},
    {24, 38.0, 330.0, -0.006, 0.035},
    {29, 52.0, 10.0, 0.010, -0.030},
    {23, -3.0, 120.0, 0.100, 0.010}, // rises through the mask
    {17, 5.0, 220.0, -0.020, 0.015}, // sets
    {33, 30.0, 190.0, 0.0, 0.0}, // SBAS
}};

constexpr std::size_t kPerSentence = 4;
constexpr std::size_t kMaxUsed = 12;

struct InView
{
    unsigned prn;
    int elevation;
    int azimuth;
};

std::string sentence(const std::string& body)
{
    std::string out = "$" + body;
    messages::appendNmeaChecksum(out);
    return out;
}

std::vector<InView> inView(unsigned second)
{
    std::vector<InView> satellites;
    for (const Orbit& orbit : kOrbits) {
        const double elevation = orbit.elevation + orbit.climb * second;
        if (elevation < 0.0)
            continue;
        const double azimuth = std::fmod(orbit.azimuth + orbit.turn * second + 360.0, 360.0);
        satellites.push_back({orbit.prn, static_cast<int>(std::lround(std::fmin(elevation, 90.0))),
                              static_cast<int>(std::lround(azimuth)) % 360});
    }
    return satellites;
}

} // namespace

std::string SkyConstellation::epoch(unsigned second)
{
    const std::vector<InView> satellites = inView(second);
    const unsigned day = second % 86400;
    std::string out = sentence(text::format("GPGGA,%02u%02u%02u.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
                                            day / 3600, day / 60 % 60, day % 60));
    std::string used = "GPGSA,A,3";
    std::size_t count = 0;
    for (const InView& satellite : satellites) {
        if (satellite.prn <= 32 && satellite.elevation >= kMaskDegrees && count < kMaxUsed) {
            used += text::format(",%02u", satellite.prn);
            ++count;
        }
    }
    for (; count < kMaxUsed; ++count)
        used += ",";
    out += sentence(used + ",1.8,1.0,1.5");
    const std::size_t total = (satellites.size() + kPerSentence - 1) / kPerSentence;
    for (std::size_t n = 0; n < total; ++n) {
        std::string group = text::format("GPGSV,%zu,%zu,%02zu", total, n + 1, satellites.size());
        for (std::size_t i = n * kPerSentence; i < satellites.size() && i < (n + 1) * kPerSentence; ++i) {
            const InView& satellite = satellites[i];
            group += text::format(",%02u,%02d,%03d,%02d", satellite.prn, satellite.elevation, satellite.azimuth,
                                  30 + satellite.elevation / 4);
        }
        out += sentence(group);
    }
    return out;
}

std::string SkyConstellation::log(unsigned seconds)
{
    std::string out;
    for (unsigned second = 0; second < seconds; ++second)
        out += epoch(second);
    return out;
}

} // namespace zeb::tools::sim
