#pragma once

#include "app/workspace/BarState.h"

namespace zeb::framework {

class CIHCOChildFrame;

// Maps a child frame's tool bars and dock widgets onto docking-bar records and back. Each
// docking area is a dock-bar record (identifiers 59419 top, 59420 left, 59421 right,
// 59422 bottom, 59423 floating) listing the bars it holds, 0 between rows.
class BarLayout
{
public:
    static constexpr std::uint32_t kDockTop = 59419;
    static constexpr std::uint32_t kDockLeft = 59420;
    static constexpr std::uint32_t kDockRight = 59421;
    static constexpr std::uint32_t kDockBottom = 59422;
    static constexpr std::uint32_t kDockFloat = 59423;

    // Reads the frame's layout: one dock-bar record per docking area that holds bars (areas in
    // the order above, then the floating one), then one record per bar in the frame's order.
    // A hidden bar keeps the place it had when last shown.
    static std::vector<workspace::BarRecord> capture(const CIHCOChildFrame& frame);
    // Whether the state has records and every record that is not floating names a bar (or dock
    // area) the frame has, including the bars a docked dock-bar record lists.
    static bool fits(const CIHCOChildFrame& frame, const workspace::BarState& state);
    // Applies a fitting state: areas, rows and order, floating positions, visibility, dock
    // widget sizes. Bars the state does not name stay where they are. A state that does not
    // fit changes nothing and answers false.
    static bool apply(CIHCOChildFrame& frame, const workspace::BarState& state);
};

} // namespace zeb::framework
