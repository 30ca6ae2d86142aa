#include "remote-display/core/Contrast.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace zeb::remote_display {

Contrast Contrast::fromText(std::string_view text)
{
    Contrast contrast;
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value))
        return contrast;
    const long tenths = std::lround(value * 10.0);
    if (tenths >= kLowest && tenths <= kHighest)
        contrast.m_tenths = static_cast<int>(tenths);
    return contrast;
}

void Contrast::step()
{
    m_tenths = m_tenths >= kHighest ? kLowest : m_tenths + 1;
}

std::string Contrast::text() const
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", value());
    return buffer;
}

std::uint32_t Contrast::background(std::uint32_t color) const
{
    const int keep = std::abs(m_tenths);
    std::uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const auto v = static_cast<int>((color >> shift) & 0xFF);
        // (255 - v) * (1 - |k|) in tenths, rounded down as the floor of the exact product.
        const int channel = v + (255 - v) * (10 - keep) / 10;
        out |= static_cast<std::uint32_t>(channel) << shift;
    }
    return out;
}

} // namespace zeb::remote_display
