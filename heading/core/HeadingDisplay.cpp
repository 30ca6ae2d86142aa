#include "heading/core/HeadingDisplay.h"

#include "heading/core/Angles.h"
#include "text/Format.h"

#include <cmath>

namespace zeb::heading {

void HeadingDisplay::apply(const HeadingReading& reading)
{
    if (reading.kind == HeadingReading::Kind::None)
        return;
    m_hasDeviation = false;
    m_hasSatellites = false;
    if (reading.kind == HeadingReading::Kind::NoHeading) {
        m_valid = false;
        redraw();
        return;
    }
    m_valid = true;
    if (reading.deviation) {
        m_deviation = *reading.deviation;
        m_hasDeviation = true;
    }
    if (reading.satellites) {
        m_satellites = *reading.satellites;
        m_hasSatellites = true;
    }
    setHeading(reading.heading);
}

void HeadingDisplay::setHeading(double degrees)
{
    if (!std::isfinite(degrees))
        return;
    const double target = angles::normalise(degrees);
    // The difference shrinks by a step each time round: at most 180 / 5 steps, and the bound
    // holds whatever the rounding does.
    constexpr int kMaxSteps = 36;
    for (int step = 0; step < kMaxSteps; ++step) {
        const double turn = angles::shortestDifference(m_displayed, target);
        if (std::fabs(turn) <= kStep)
            break;
        m_displayed = angles::normalise(m_displayed + (turn > 0 ? kStep : -kStep));
        redraw();
    }
    m_displayed = target;
    redraw();
}

unsigned HeadingDisplay::tenths() const
{
    return static_cast<unsigned>(m_displayed * 10.0);
}

std::string HeadingDisplay::wholeText() const
{
    return m_valid ? text::format("%u", tenths() / 10) : std::string("***");
}

std::string HeadingDisplay::tenthsText() const
{
    return m_valid ? text::format(".%1u", tenths() % 10) : std::string(".*");
}

std::string HeadingDisplay::deviationText() const
{
    return m_hasDeviation ? text::format("SD %.1lf", m_deviation) : std::string();
}

std::string HeadingDisplay::satellitesText() const
{
    return m_hasSatellites ? text::format("SV %u", static_cast<unsigned>(m_satellites)) : std::string();
}

void HeadingDisplay::redraw() const
{
    if (m_redraw)
        m_redraw();
}

} // namespace zeb::heading
