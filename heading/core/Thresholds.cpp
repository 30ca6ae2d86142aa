#include "heading/core/Thresholds.h"

#include "platform/Settings.h"
#include "text/Format.h"
#include "text/Scan.h"

#include <cmath>

namespace zeb::heading {

std::optional<double> Thresholds::parseValue(std::string_view text)
{
    double value = 0;
    char after = 0;
    if (text::scan(text, "%lf%c", &value, &after) != 1 || !std::isfinite(value) || value < 0)
        return std::nullopt;
    return value;
}

Thresholds Thresholds::fromSettings(const platform::Settings& settings)
{
    Thresholds thresholds;
    for (std::size_t i = 0; i < kCount; ++i) {
        const std::string stored = settings.readText(platform::Settings::kSection, kSettingNames[i], "0.01");
        if (const std::optional<double> value = parseValue(stored))
            thresholds.values[i] = *value;
    }
    return thresholds;
}

void Thresholds::writeSettings(platform::Settings& settings) const
{
    for (std::size_t i = 0; i < kCount; ++i)
        settings.writeText(platform::Settings::kSection, kSettingNames[i], text::format("%lf", values[i]));
}

std::string Thresholds::text() const
{
    return text::format("%lf,%lf,%lf", values[0], values[1], values[2]);
}

bool Thresholds::setFromText(std::string_view text)
{
    std::array<double, kCount> read{};
    if (text::scan(text, "%lf,%lf,%lf", &read[0], &read[1], &read[2]) != static_cast<int>(kCount))
        return false;
    for (const double value : read) {
        if (!std::isfinite(value) || value < 0)
            return false;
    }
    values = read;
    return true;
}

void Thresholds::judge(Index index, std::optional<double> quality)
{
    if (!quality || !std::isfinite(*quality)) {
        converged[index] = kUnknown;
        return;
    }
    converged[index] = *quality <= values[index] ? kConverged : kAbove;
}

} // namespace zeb::heading
