#include "app/framework/WindowPlacement.h"

#include <algorithm>

namespace zeb::framework {
namespace {

// Far beyond any screen, and far from int overflow in QRect's right and bottom edges.
constexpr std::int64_t kLargest = 1 << 16;

struct Span
{
    std::int64_t start;
    std::int64_t length;
};

Span fit(std::int64_t start, std::int64_t length, std::int64_t minimum, std::int64_t areaStart, std::int64_t areaLength)
{
    const std::int64_t longest = std::max(areaLength, minimum);
    length = std::clamp<std::int64_t>(length, minimum, longest);
    start = std::clamp<std::int64_t>(start, areaStart, std::max(areaStart, areaStart + areaLength - length));
    return {start, length};
}

} // namespace

QRect WindowPlacement::reachable(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                                 const QRect& area)
{
    const QRect bounds = area.isEmpty() ? QRect(-kLargest, -kLargest, 2 * kLargest, 2 * kLargest) : area;
    const Span across = fit(x, width, kMinimumWidth, bounds.x(), bounds.width());
    const Span down = fit(y, height, kMinimumHeight, bounds.y(), bounds.height());
    return {static_cast<int>(across.start), static_cast<int>(down.start), static_cast<int>(across.length),
            static_cast<int>(down.length)};
}

} // namespace zeb::framework
