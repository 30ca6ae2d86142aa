#pragma once

#include <array>
#include <cstdint>

namespace zeb::geometry {

// What the receiver last said about each satellite, indexed by PRN: tables of 256 entries, of
// which only PRN 1-32 are ever cleared, drawn or counted. Also the receiver's elevation mask.
class SkyTable
{
public:
    static constexpr unsigned kEntries = 256;
    static constexpr unsigned kShown = 32;
    static constexpr double kDegreesToRadians = 0.0174532925199433;
    static constexpr double kHalfPi = 1.5707963267949;

    struct Satellite
    {
        bool visible = false;
        bool used = false;
        double elevation = 0.0; // radians
        double azimuth = 0.0; // radians
    };

    // Every entry back to not visible, not used, at elevation and azimuth 0.
    void reset();
    void clearVisible();
    void clearUsed();

    // Stores a satellite's place in degrees and makes it visible. A PRN of 0 or above 256, an
    // elevation outside -90..90 or a non-finite azimuth is ignored (false): such a place cannot be
    // drawn, and a huge number would only push the glyph out of any sensible coordinate range.
    bool store(unsigned prn, double elevationDegrees, double azimuthDegrees);
    // Marks a PRN as used in the fix; 0 or above 256 is ignored.
    void markUsed(unsigned prn);
    // The mask becomes |degrees| in radians, at most a right angle; a non-finite value is ignored.
    void setMaskDegrees(double degrees);

    // PRN 1-256.
    const Satellite& satellite(unsigned prn) const { return m_satellites[prn - 1]; }
    double mask() const { return m_mask; }

private:
    std::array<Satellite, kEntries> m_satellites{};
    double m_mask = 0.0;
};

} // namespace zeb::geometry
