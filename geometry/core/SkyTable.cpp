#include "geometry/core/SkyTable.h"

#include <algorithm>
#include <cmath>

namespace zeb::geometry {

namespace {

bool validPrn(unsigned prn)
{
    return prn >= 1 && prn <= SkyTable::kEntries;
}

} // namespace

void SkyTable::reset()
{
    m_satellites.fill(Satellite{});
}

void SkyTable::clearVisible()
{
    for (unsigned i = 0; i < kShown; ++i)
        m_satellites[i].visible = false;
}

void SkyTable::clearUsed()
{
    for (unsigned i = 0; i < kShown; ++i)
        m_satellites[i].used = false;
}

bool SkyTable::store(unsigned prn, double elevationDegrees, double azimuthDegrees)
{
    // The comparisons are false for NaN, so NaN is refused with the out-of-range values.
    if (!validPrn(prn) || !(elevationDegrees >= -90.0 && elevationDegrees <= 90.0) || !std::isfinite(azimuthDegrees))
        return false;
    Satellite& satellite = m_satellites[prn - 1];
    satellite.elevation = elevationDegrees * kDegreesToRadians;
    satellite.azimuth = std::fmod(azimuthDegrees, 360.0) * kDegreesToRadians;
    satellite.visible = true;
    return true;
}

void SkyTable::markUsed(unsigned prn)
{
    if (validPrn(prn))
        m_satellites[prn - 1].used = true;
}

void SkyTable::setMaskDegrees(double degrees)
{
    if (!std::isfinite(degrees))
        return;
    m_mask = std::min(std::fabs(degrees * kDegreesToRadians), kHalfPi);
}

} // namespace zeb::geometry
