#pragma once

#include <QRect>

#include <cstdint>

namespace zeb::framework {

// Where a window with a stored placement goes so that the user can see and reach it: its size
// within [kMinimumSize, the area's size], then its position such that the whole window lies in
// `area`. Stored numbers come from files and settings anyone may edit, so any 32-bit values
// are taken, also ones whose sums overflow. An empty area (not laid out yet) bounds nothing
// but the overflow.
struct WindowPlacement
{
    static constexpr int kMinimumWidth = 120;
    static constexpr int kMinimumHeight = 60;

    static QRect reachable(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, const QRect& area);
};

} // namespace zeb::framework
