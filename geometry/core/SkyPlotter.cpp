#include "geometry/core/SkyPlotter.h"

#include "geometry/core/SkyTable.h"

#include <algorithm>
#include <cmath>

namespace zeb::geometry {

SkyPlotter::SkyPlotter()
{
    m_previousX.fill(kUnknown);
    m_previousY.fill(kUnknown);
}

void SkyPlotter::draw(const SkyTable& table, int width, int height, SkyPicture& picture)
{
    picture.width = std::max(width, 0);
    picture.height = std::max(height, 0);
    picture.radius = std::max((std::min(picture.width, picture.height) - kMargin) * 0.5, 0.0);
    picture.centreX = picture.width * 0.5;
    picture.centreY = picture.height * 0.5;
    picture.maskRadius = (1.0 - table.mask() / SkyTable::kHalfPi) * picture.radius;
    picture.glyphs.clear();
    picture.used = 0;
    picture.visible = 0;
    const unsigned start = m_start;
    for (unsigned step = 0; step < SkyTable::kShown; ++step) {
        const unsigned slot = (start + step) % SkyTable::kShown;
        if (!table.satellite(slot + 1).visible)
            continue;
        if (picture.visible++ == 0)
            m_start = (slot + 1) % SkyTable::kShown;
        place(table, slot, picture);
    }
}

void SkyPlotter::place(const SkyTable& table, unsigned slot, SkyPicture& picture)
{
    const SkyTable::Satellite& satellite = table.satellite(slot + 1);
    const double distance = 1.0 - satellite.elevation / SkyTable::kHalfPi;
    const double x = std::cos(satellite.azimuth) * distance;
    const double y = std::sin(satellite.azimuth) * distance;
    const bool known = m_previousX[slot] > kUnknown && m_previousY[slot] > kUnknown;
    if (known) {
        if (x != m_previousX[slot])
            m_direction[slot] = std::atan2(y - m_previousY[slot], x - m_previousX[slot]);
        if (satellite.used)
            ++picture.used;
        picture.glyphs.push_back({.prn = slot + 1,
                                  .x = x,
                                  .y = y,
                                  .px = x * picture.radius + picture.centreX,
                                  .py = picture.centreY - y * picture.radius,
                                  .used = satellite.used,
                                  .direction = m_direction[slot]});
    }
    m_previousX[slot] = x;
    m_previousY[slot] = y;
}

} // namespace zeb::geometry
