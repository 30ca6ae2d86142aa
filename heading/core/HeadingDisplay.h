#pragma once

#include "heading/core/HeadingSentenceReader.h"

#include <cstdint>
#include <functional>
#include <string>

namespace zeb::heading {

// What the compass shows: the displayed heading, whether it is valid, and the standard
// deviation and satellite count when the receiver gave them. A new heading is reached the
// short way round in steps of at most 5 degrees, each shown, so the card visibly turns.
class HeadingDisplay
{
public:
    static constexpr double kStep = 5.0;
    using Redraw = std::function<void()>;

    explicit HeadingDisplay(Redraw redraw = {})
        : m_redraw(std::move(redraw))
    {
    }

    // Takes what a sentence said; a reading of kind None changes nothing.
    void apply(const HeadingReading& reading);
    // Turns the card to `degrees` (any finite value; a non-finite one is ignored).
    void setHeading(double degrees);

    double displayed() const { return m_displayed; }
    bool valid() const { return m_valid; }
    bool hasDeviation() const { return m_hasDeviation; }
    bool hasSatellites() const { return m_hasSatellites; }

    // The heading's texts: whole degrees ("%u" of the truncated tenths / 10) and the tenths
    // digit (".%1u"), "***" and ".*" while the heading is not valid.
    std::string wholeText() const;
    std::string tenthsText() const;
    // "SD %.1lf" and "SV %u"; empty while not given.
    std::string deviationText() const;
    std::string satellitesText() const;

private:
    unsigned tenths() const;
    void redraw() const;

    Redraw m_redraw;
    double m_displayed = 0;
    bool m_valid = false;
    double m_deviation = 0;
    bool m_hasDeviation = false;
    std::uint32_t m_satellites = 0;
    bool m_hasSatellites = false;
};

} // namespace zeb::heading
