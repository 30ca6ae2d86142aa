#pragma once

#include <cstdint>
#include <vector>

namespace zeb::workspace {

// One docking-bar record as a BAR line carries it, fields in line order.
struct BarRecord
{
    std::uint32_t id = 0;
    std::int32_t visible = 1;
    std::int32_t floating = 0;
    std::int32_t horizontal = 1;
    std::int32_t isDockBar = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint32_t mruWidth = 0;
    std::int32_t dockingAllowed = 1;
    std::uint32_t mruDockId = 0;
    // The line carries the rectangle's top before its left.
    std::int32_t mruTop = 0;
    std::int32_t mruLeft = 0;
    std::int32_t mruRight = 0;
    std::int32_t mruBottom = 0;
    std::uint32_t mruFloatStyle = 0;
    std::int32_t mruFloatX = 0;
    std::int32_t mruFloatY = 0;
    // Bars held by a dock bar, in order.
    std::vector<std::uint32_t> contained;

    bool operator==(const BarRecord&) const = default;
};

} // namespace zeb::workspace
