#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace zeb::platform {
class Settings;
}

namespace zeb::heading {

// The three quality thresholds of the heading calibration (base length, horizontal offset,
// vertical offset) and, for each, whether the receiver's latest quality value is at or below it.
struct Thresholds
{
    enum Index { BaseLength = 0, HorizontalOffset = 1, VerticalOffset = 2 };
    static constexpr std::size_t kCount = 3;
    static constexpr double kDefault = 0.01;
    static constexpr std::array<std::string_view, kCount> kSettingNames
        = {"baseLengthThreshold", "horizontalOffsetThreshold", "verticalOffsetThreshold"};
    // Converged flags: not known, above the threshold, at or below it.
    static constexpr int kUnknown = -1;
    static constexpr int kAbove = 0;
    static constexpr int kConverged = 1;

    std::array<double, kCount> values{kDefault, kDefault, kDefault};
    std::array<int, kCount> converged{kUnknown, kUnknown, kUnknown};

    // A threshold as typed or stored: exactly one finite, non-negative decimal number with nothing
    // after it. Anything else is refused.
    static std::optional<double> parseValue(std::string_view text);

    // The values from the settings (texts, default "0.01"); a stored text that is no threshold
    // keeps the default.
    static Thresholds fromSettings(const platform::Settings& settings);
    void writeSettings(platform::Settings& settings) const;

    // "%lf,%lf,%lf" of the three values, and back: the values change only when all three read
    // as thresholds.
    std::string text() const;
    bool setFromText(std::string_view text);

    // Sets the converged flag of one threshold from a quality value; none (or not finite) is unknown.
    void judge(Index index, std::optional<double> quality);
    void forgetConvergence() { converged = {kUnknown, kUnknown, kUnknown}; }
};

} // namespace zeb::heading
