#include "remote-display/core/PanelSettings.h"

#include "platform/Settings.h"

#include <algorithm>

namespace zeb::remote_display {

namespace {

constexpr std::string_view kSection = "Settings";

PanelSettings::Beep readBeep(const platform::Settings& settings, std::string_view prefix,
                             const PanelSettings::Beep& fallback)
{
    const std::string key(prefix);
    return {settings.readInt(kSection, key + "Sound", fallback.on ? 1 : 0) != 0,
            settings.readInt(kSection, key + "Frequency", fallback.frequency),
            settings.readInt(kSection, key + "Duration", fallback.duration)};
}

void writeBeep(platform::Settings& settings, std::string_view prefix, const PanelSettings::Beep& beep)
{
    const std::string key(prefix);
    settings.writeInt(kSection, key + "Sound", beep.on ? 1 : 0);
    settings.writeInt(kSection, key + "Frequency", beep.frequency);
    settings.writeInt(kSection, key + "Duration", beep.duration);
}

void boundBeep(PanelSettings::Beep& beep)
{
    beep.frequency = std::clamp(beep.frequency, PanelSettings::kMinFrequency, PanelSettings::kMaxFrequency);
    beep.duration = std::clamp(beep.duration, PanelSettings::kMinDuration, PanelSettings::kMaxDuration);
}

} // namespace

PanelSettings PanelSettings::read(const platform::Settings& settings)
{
    PanelSettings out;
    out.pressed = readBeep(settings, "keyPressed", out.pressed);
    out.released = readBeep(settings, "keyDepressed", out.released);
    out.color = static_cast<std::uint32_t>(settings.readInt(kSection, "color", static_cast<int>(kDefaultColor)));
    out.contrast = Contrast::fromText(settings.readText(kSection, "contrast", "0"));
    out.autoConnect = settings.readInt(kSection, "autoConnect", 1) != 0;
    out.path = settings.readText(kSection, "path", "");
    out.bound();
    return out;
}

void PanelSettings::write(platform::Settings& settings) const
{
    writeBeep(settings, "keyPressed", pressed);
    writeBeep(settings, "keyDepressed", released);
    settings.writeInt(kSection, "color", static_cast<int>(color & 0xFFFFFF));
    settings.writeText(kSection, "contrast", contrast.text());
    settings.writeInt(kSection, "autoConnect", autoConnect ? 1 : 0);
    settings.writeText(kSection, "path", path);
}

void PanelSettings::bound()
{
    boundBeep(pressed);
    boundBeep(released);
    // A colour is 0xBBGGRR; a negative or larger number in the file keeps only those bytes.
    color &= 0xFFFFFF;
}

} // namespace zeb::remote_display
