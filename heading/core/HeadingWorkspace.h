#pragma once

#include "heading/core/Thresholds.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zeb::heading {

// What the heading document keeps in a workspace besides its stream: the thresholds, whether
// the calibration panel is open and the calibration mode. Lines that carry values out of range
// (or no numbers) leave the values as they were.
struct HeadingWorkspace
{
    static constexpr std::string_view kThresholdPrefix = "$PKVR,RPC,IHHD,THRESHOLD,";
    static constexpr std::string_view kCalibrationPrefix = "$PKVR,RPC,IHHD,CALIBRATION,";

    Thresholds thresholds;
    bool calibrationOpen = false;
    std::uint32_t mode = 1;

    // True when the line is one of these (taken, whether its values were good or not).
    bool handleLine(std::string_view line);
    // The THRESHOLD then the CALIBRATION line, CR LF each.
    std::string lines() const;
};

} // namespace zeb::heading
