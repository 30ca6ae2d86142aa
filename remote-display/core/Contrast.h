#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zeb::remote_display {

// The display's contrast k, from -1.0 to 0.9 in steps of 0.1. It is counted in tenths, so ten
// steps from 0 land exactly on the wrap to -1.0 (a binary fraction would stop at
// 0.9999999999999999 and miss it).
class Contrast
{
public:
    static constexpr int kLowest = -10;
    static constexpr int kHighest = 9;

    Contrast() = default;
    // The stored text ("%g" of k); anything that is not a number within range is 0.
    static Contrast fromText(std::string_view text);

    // One press of the contrast key: k + 0.1, and from 0.9 back to -1.0.
    void step();
    int tenths() const { return m_tenths; }
    double value() const { return m_tenths / 10.0; }
    std::string text() const;

    // The display background for base colour 0xBBGGRR: each channel v becomes
    // v + floor((255 - v) * (1 - |k|)), so k = 0 is white and |k| = 1 the base colour.
    std::uint32_t background(std::uint32_t color) const;

private:
    int m_tenths = 0;
};

} // namespace zeb::remote_display
