#pragma once

#include "messages/codecs/MessageCodec.h"

#include <array>
#include <cstdint>
#include <optional>

namespace zeb::codecs {

// One satellite of a measurement message. Raw values are the integers of the frame; the accessors give them in
// their units. The frame names its fields by letters only, and so does this class.
struct SatelliteBlock
{
    std::optional<std::uint8_t> channel;
    std::uint8_t wireSatellite = 0;
    int satellite = -1; // internal index
    std::uint32_t m1 = 0; // unit 1e-10
    std::uint8_t s = 0; // the S byte as received
    unsigned level = 0; // bits 4-0 of S plus 23 (26 with the coarser units)
    std::uint32_t m2 = 0; // unit 0.001
    std::optional<std::int32_t> m3; // unit 0.002 (0.004 with the coarser units)
    std::uint8_t k1 = 0;
    std::uint8_t k2 = 0;
    // The second part, when the frame carries one and S does not say to ignore it.
    bool hasSecondPart = false;
    std::optional<std::int32_t> d1; // unit 1/256
    std::optional<std::int32_t> d2; // unit 1e-10
    std::optional<std::int32_t> d3; // unit 1e-10
    std::uint32_t m4 = 0; // unit 0.001
    std::optional<std::int32_t> m5; // unit as m3
    std::uint8_t k3 = 0;
    std::uint8_t k4 = 0;

    bool qualityMarked() const { return (s & 0x80) == 0; }
    bool flag5() const { return hasSecondPart && (s & 0x20) != 0; }
    double m1Value() const { return m1 * 1e-10; }
    std::optional<double> m1PlusD2() const;
    std::optional<double> m1PlusD3() const;
};

// 'R' ("GNSS MEASURE SATELLITE"), 'Q' ("GNSS MEASURE RECEIVER") and 'r' (binary only): a measurement header and up
// to 16 satellite blocks.
//
// A block is the satellite (1 byte), M1 (4), S (1), M2 (3), M3 (3), K1 (1) and K2 (1): 14 bytes, one more with the
// leading channel byte, and one more for 'r', whose own channel byte follows the satellite. The second part adds 13.
// Bytes after the last whole block are ignored.
//
// Text form, one line per block:
//   "*%X," channel (the block's position 1-16 when the frame has no channel byte)
//   "%u,%.0lf,%.0lf," wire satellite, M1 and M2 as integers of their units
//   "%.0lf," M3 as an integer of its unit, or "," when absent
//   "%01X," bits 7-5 of S; "%02X," the level; "%02X," K1; "%02X" K2
//   then for the second part ",%1.0lf" for each of D1, D2, D3, M4, M5 (just "," when absent) and ",%02X" for K3 and
//   K4, or ",,,,,,," when the block has no second part to use; then CR LF.
// Integers rather than scaled values keep the line exact and short.
class MeasurementCodec : public MessageCodec
{
public:
    static constexpr std::size_t kMaxBlocks = 16;
    enum Variant { SatelliteVariant = 0, ReceiverVariant = 1, RawVariant = 2 }; // 'R', 'Q', 'r'

    MeasurementCodec();

    void reset() override;
    int renderText(OutputBuffer& out) const override;

    Variant variant() const { return m_variant; }
    std::uint32_t extra() const { return m_extra; } // 'Q' only
    std::uint8_t flags() const { return m_flags; }
    bool coarse() const { return (m_flags & 0x04) != 0; }
    bool secondParts() const { return (m_flags & 0x80) != 0; }
    unsigned interval() const; // seconds
    unsigned flagBits45() const { return (m_flags >> 4) & 0x03U; }
    std::size_t blockCount() const { return m_count; }
    const SatelliteBlock& block(std::size_t i) const { return m_blocks[i < kMaxBlocks ? i : 0]; }
    bool checksumOk() const { return m_checksumOk; }

protected:
    int decodeBinary(std::span<const std::uint8_t> frame) override;

private:
    int readBlock(const std::uint8_t* at, SatelliteBlock& block) const;
    void renderBlock(OutputBuffer& out, std::size_t index) const;

    Variant m_variant = SatelliteVariant;
    std::uint32_t m_extra = 0;
    std::uint8_t m_flags = 0;
    std::array<SatelliteBlock, kMaxBlocks> m_blocks{};
    std::size_t m_count = 0;
    bool m_checksumOk = false;
};

} // namespace zeb::codecs
