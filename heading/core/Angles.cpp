#include "heading/core/Angles.h"

#include <cmath>

namespace zeb::heading::angles {

double normalise(double degrees)
{
    double result = std::fmod(degrees, 360.0);
    if (result < 0)
        result += 360.0;
    // -1e-20 + 360 rounds to 360 itself.
    return result >= 360.0 ? 0.0 : result;
}

double shortestDifference(double from, double to)
{
    const double delta = to - from;
    const double magnitude = std::fabs(delta);
    if (magnitude <= 180.0)
        return delta;
    const double other = 360.0 - magnitude;
    return delta > 0 ? -other : other;
}

} // namespace zeb::heading::angles
