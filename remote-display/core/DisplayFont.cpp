#include "remote-display/core/DisplayFont.h"

#include <array>

namespace zeb::remote_display {

namespace {

constexpr std::array<DisplayFont, 4> kFonts{{
    {"16x8", 8, 16, 500},
    {"32x16", 16, 32, 1000},
    {"48x16", 16, 48, 1000},
    {"64x32", 32, 64, 1000},
}};

} // namespace

const DisplayFont* DisplayFont::find(std::string_view name)
{
    for (const DisplayFont& font : kFonts) {
        if (font.name == name)
            return &font;
    }
    return nullptr;
}

const DisplayFont& DisplayFont::standard()
{
    return kFonts.front();
}

} // namespace zeb::remote_display
