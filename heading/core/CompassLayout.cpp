#include "heading/core/CompassLayout.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zeb::heading {

namespace {

constexpr double kMargin = 20.0;
constexpr double kTickInner = 0.8;
constexpr double kTickOuter = 0.9;
constexpr double kLabelGap = 0.02;
constexpr int kTickDegrees = 5;
constexpr int kLabelEvery = 3;
constexpr double kInnerDisc = 0.75;

double radians(double degrees)
{
    return degrees * std::numbers::pi / 180.0;
}

} // namespace

CompassLayout::CompassLayout(int width, int height, double displayed)
    : m_radius(std::max(0.0, (std::min(width, height) - kMargin) / 2.0))
    , m_centre{width / 2.0, height / 2.0}
    , m_displayed(displayed)
{
}

CompassLayout::Point CompassLayout::at(double angle, double distance) const
{
    const double direction = radians(m_displayed - angle + 90.0);
    return {m_centre.x + distance * std::cos(direction), m_centre.y - distance * std::sin(direction)};
}

std::vector<CompassLayout::Tick> CompassLayout::ticks() const
{
    std::vector<Tick> result;
    if (!showsTicks())
        return result;
    for (int angle = 0; angle < 360; angle += kTickDegrees)
        result.push_back({at(angle, kTickInner * m_radius), at(angle, kTickOuter * m_radius)});
    return result;
}

std::vector<CompassLayout::Label> CompassLayout::labels() const
{
    std::vector<Label> result;
    if (!showsTicks())
        return result;
    for (int angle = 0; angle < 360; angle += kTickDegrees * kLabelEvery) {
        // Clockwise on screen by the card angle less the displayed heading: upright at the top.
        result.push_back({static_cast<double>(angle), at(angle, (kTickOuter + kLabelGap) * m_radius),
                          static_cast<double>(angle) - m_displayed});
    }
    return result;
}

std::vector<CompassLayout::Point> CompassLayout::pointer() const
{
    const double r = m_radius;
    return {{m_centre.x, m_centre.y - kInnerDisc * r},
            {m_centre.x - 0.05 * r, m_centre.y - 0.7 * r},
            {m_centre.x + 0.05 * r, m_centre.y - 0.7 * r}};
}

double CompassLayout::headingFontHeight() const
{
    return std::max(m_radius / 2.0, 12.0);
}

double CompassLayout::tenthsFontHeight() const
{
    return std::max(m_radius / 4.0, 6.0);
}

double CompassLayout::smallFontHeight() const
{
    return std::max(0.15 * m_radius, 6.0);
}

bool CompassLayout::onRing(double x, double y) const
{
    const double distance = std::hypot(x - m_centre.x, y - m_centre.y);
    return distance >= kInnerDisc * m_radius && distance <= m_radius;
}

} // namespace zeb::heading
