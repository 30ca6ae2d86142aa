// Which messages of one port go to one track, and in which form they are written.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zeb::recorder {

struct RecorderFilter
{
    static constexpr std::uint32_t kSelections = 13; // message selections 0-12
    static constexpr std::uint32_t kForms = 4; // output forms 0-3

    bool enabled = true;
    std::size_t port = 0; // index into RecorderSettings::ports
    std::uint32_t selection = 0;
    std::uint32_t form = 0;
    std::size_t track = 0; // index into RecorderSettings::tracks

    bool operator==(const RecorderFilter&) const = default;
};

} // namespace zeb::recorder
