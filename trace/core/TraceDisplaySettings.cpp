#include "trace/core/TraceDisplaySettings.h"

#include "platform/Settings.h"
#include "text/Format.h"
#include "text/Scan.h"

namespace zeb::trace {

namespace {

constexpr std::string_view kSection = "Settings";
constexpr std::string_view kFontKey = "IHDBFont";
constexpr int kFontFields = 14;

std::string colourKey(std::size_t index)
{
    return "IHDBColor" + std::to_string(index);
}

} // namespace

std::string FontDescription::text() const
{
    return text::format("%s,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d", face.c_str(), height, width, escapement,
                        orientation, weight, italic, underline, strikeOut, charSet, outPrecision, clipPrecision,
                        quality, pitchAndFamily);
}

FontDescription FontDescription::fromText(std::string_view text)
{
    FontDescription font;
    const int read
        = text::scan(text, "%[^,],%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d", &font.face, &font.height, &font.width,
                     &font.escapement, &font.orientation, &font.weight, &font.italic, &font.underline, &font.strikeOut,
                     &font.charSet, &font.outPrecision, &font.clipPrecision, &font.quality, &font.pitchAndFamily);
    // Half a description would mix the stored face with default sizes: take none of it.
    return read == kFontFields ? font : FontDescription{};
}

TraceDisplaySettings TraceDisplaySettings::read(const platform::Settings& settings)
{
    TraceDisplaySettings display;
    for (std::size_t i = 0; i < kLevelCount; ++i)
        display.colours[i] = static_cast<std::uint32_t>(
            settings.readInt(kSection, colourKey(i), static_cast<int>(kDefaultColours[i])));
    display.font = FontDescription::fromText(settings.readText(kSection, kFontKey, FontDescription{}.text()));
    return display;
}

void TraceDisplaySettings::write(platform::Settings& settings) const
{
    for (std::size_t i = 0; i < kLevelCount; ++i)
        settings.writeInt(kSection, colourKey(i), static_cast<int>(colours[i]));
    settings.writeText(kSection, kFontKey, font.text());
}

} // namespace zeb::trace
