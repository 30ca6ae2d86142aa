#pragma once

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace zeb::geometry {

// One satellite as a drawing pass places it.
struct SkyGlyph
{
    unsigned prn = 0;
    double x = 0.0; // plot coordinates: the horizon is the unit circle
    double y = 0.0;
    double px = 0.0; // pixels
    double py = 0.0;
    bool used = false;
    double direction = 0.0; // radians, the way it moved in plot coordinates

    // Where the glyph point (a, b) lands once the glyph is turned to its direction and moved to (px, py).
    std::pair<double, double> place(double a, double b) const
    {
        const double theta = 1.5707963267949 + direction;
        const double c = std::cos(theta);
        const double s = std::sin(theta);
        return {a * c + b * s + px, py - a * s + b * c};
    }
};

// What one drawing pass of the sky plot shows: the circles, the satellites in drawing order and
// the counts of the title.
struct SkyPicture
{
    int width = 0;
    int height = 0;
    double radius = 0.0;
    double maskRadius = 0.0;
    double centreX = 0.0;
    double centreY = 0.0;
    std::vector<SkyGlyph> glyphs;
    unsigned used = 0;
    unsigned visible = 0;

    // "Geometry - %u/%u SV" with the used and visible counts.
    std::string title() const;
};

} // namespace zeb::geometry
