#pragma once

#include "geometry/core/SkyPicture.h"

#include <array>

namespace zeb::geometry {

class SkyTable;

// The geometry of the sky plot's drawing passes. It remembers, per satellite, where it was last
// placed and which way it was moving, and rotates the drawing order from pass to pass so that
// overlapping glyphs take turns on top. A satellite seen for the first time is counted but only
// placed from the next pass on, once a direction can be known.
class SkyPlotter
{
public:
    static constexpr double kUnknown = -1e9;
    static constexpr double kMargin = 20.0;

    SkyPlotter();

    // Fills `picture` for a client area of width x height pixels. A window smaller than the
    // margins gets a radius of 0: everything collapses onto the centre instead of turning inside out.
    void draw(const SkyTable& table, int width, int height, SkyPicture& picture);

private:
    void place(const SkyTable& table, unsigned slot, SkyPicture& picture);

    std::array<double, 32> m_previousX{};
    std::array<double, 32> m_previousY{};
    std::array<double, 32> m_direction{};
    unsigned m_start = 0;
};

} // namespace zeb::geometry
