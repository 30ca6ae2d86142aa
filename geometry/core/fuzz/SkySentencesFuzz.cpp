// The sky plot's sentence reading and drawing geometry: every line of the input is one received
// sentence; each completed group is drawn at a size taken from the input, tiny and negative included.
#include "geometry/core/SkyPlotModel.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    zeb::geometry::SkyPlotModel model;
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const int side = size > 0 ? static_cast<int>(data[0]) - 30 : 300;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (!model.receive(line))
            continue;
        const auto& picture = model.draw(side, side + 7);
        if (!(picture.radius >= 0) || picture.glyphs.size() > 32 || !std::isfinite(picture.maskRadius))
            __builtin_trap();
        for (const auto& glyph : picture.glyphs) {
            if (!std::isfinite(glyph.px) || !std::isfinite(glyph.py) || !std::isfinite(glyph.direction))
                __builtin_trap();
        }
    }
    return 0;
}
