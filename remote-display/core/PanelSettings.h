#pragma once

#include "remote-display/core/Contrast.h"

#include <cstdint>
#include <string>

namespace zeb::platform {
class Settings;
}

namespace zeb::remote_display {

// The panel view's settings in section "Settings". Values read back are brought into their
// ranges: the settings file is as outside as any input.
struct PanelSettings
{
    static constexpr int kMinFrequency = 30;
    static constexpr int kMaxFrequency = 30000;
    static constexpr int kMinDuration = 1;
    static constexpr int kMaxDuration = 500;
    static constexpr std::uint32_t kDefaultColor = 7703420;

    struct Beep
    {
        bool on = true;
        int frequency = 400;
        int duration = 20;
        bool operator==(const Beep&) const = default;
    };

    Beep pressed{true, 400, 20};
    Beep released{true, 380, 20};
    std::uint32_t color = kDefaultColor;
    Contrast contrast;
    bool autoConnect = true;
    std::string path;

    static PanelSettings read(const platform::Settings& settings);
    void write(platform::Settings& settings) const;
    // Every value within its range.
    void bound();
};

} // namespace zeb::remote_display
