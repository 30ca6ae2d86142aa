#pragma once

#include "trace/core/TraceLevels.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zeb::platform {
class Settings;
}

namespace zeb::trace {

// A font as the settings describe it: face name and the thirteen numbers of a platform font description.
struct FontDescription
{
    std::string face = "courier";
    int height = -11;
    int width = 0;
    int escapement = 0;
    int orientation = 0;
    int weight = 400;
    int italic = 0;
    int underline = 0;
    int strikeOut = 0;
    int charSet = 0;
    int outPrecision = 4;
    int clipPrecision = 0x20;
    int quality = 0;
    int pitchAndFamily = 0;

    bool operator==(const FontDescription&) const = default;

    // "face,height,width,...,pitchAndFamily".
    std::string text() const;
    // The font of such a text; the default font for a text with fewer than fourteen fields.
    static FontDescription fromText(std::string_view text);
};

// The trace list's font and level colours, kept in the settings as "IHDBFont" and "IHDBColor0" ... "IHDBColor5".
struct TraceDisplaySettings
{
    FontDescription font;
    std::array<std::uint32_t, kLevelCount> colours = kDefaultColours;

    bool operator==(const TraceDisplaySettings&) const = default;

    std::uint32_t colourOf(std::uint32_t level) const { return colours[colourIndex(level)]; }

    static TraceDisplaySettings read(const platform::Settings& settings);
    void write(platform::Settings& settings) const;
};

} // namespace zeb::trace
