#pragma once

#include "messages/codecs/UhfCodec.h"

#include <array>
#include <cstdint>

namespace zeb::codecs {

// UHF 'P', "UHF PHASE": at least 26 bytes. After the common header the reference position X, Y, Z (signed 32-bit,
// units of 0.01 m, 12 bytes), then records of 6 bytes, at most 10: the wire satellite number, the phase correction
// (signed 32-bit, millimetres), and a byte whose bit 7 gives the frequency (clear: L1, set: L2) and bits 6-0 a
// continuity counter. Records of unknown satellites are skipped; a frame must keep at least one.
class UhfPhaseCodec : public UhfCodec
{
public:
    static constexpr std::size_t kMaxRecords = 10;
    struct Record
    {
        std::uint8_t satellite = 0;
        std::int32_t phase = 0; // millimetres
        bool l2 = false;
        std::uint8_t counter = 0;
    };

    UhfPhaseCodec();

    void reset() override;
    int renderText(OutputBuffer& out) const override;

    const std::array<std::int32_t, 3>& position() const { return m_position; } // unit 0.01 m
    std::size_t recordCount() const { return m_count; }
    const Record& record(std::size_t i) const { return m_records[i < kMaxRecords ? i : 0]; }

protected:
    int decodeRecords(std::span<const std::uint8_t> records) override;

private:
    std::array<std::int32_t, 3> m_position{};
    std::array<Record, kMaxRecords> m_records{};
    std::size_t m_count = 0;
};

} // namespace zeb::codecs
