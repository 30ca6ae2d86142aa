#pragma once

#include "messages/codecs/UhfCodec.h"

#include <array>
#include <cstdint>

namespace zeb::codecs {

// UHF 'T', "UHF LRK" (16-bit length). After the common header: the reference position X, Y, Z (signed 32-bit, units
// of 0.01 m), a form byte (bit 0 set: long records), then at most 24 records. A short record (17 bytes) is the wire
// satellite number, three corrections (code, L1 phase, L2 phase; signed 32-bit millimetres), the issue of data and a
// lock count (one byte each) and two flag bytes; a long record (37 bytes) adds five signed 32-bit values in
// millimetres (the corrections' rates and the L1, L2 and wide-lane ambiguity terms, sent as the station computes
// them). Records of unknown satellites are skipped; a frame must keep at least one.
class UhfLrkCodec : public UhfCodec
{
public:
    static constexpr std::size_t kMaxRecords = 24;
    struct Record
    {
        std::uint8_t satellite = 0;
        std::array<std::int32_t, 3> corrections{};
        std::uint8_t issue = 0;
        std::uint8_t lock = 0;
        std::array<std::uint8_t, 2> flags{};
        std::array<std::int32_t, 5> extended{};
    };

    UhfLrkCodec();

    void reset() override;
    int renderText(OutputBuffer& out) const override;

    const std::array<std::int32_t, 3>& position() const { return m_position; }
    bool longForm() const { return m_long; }
    std::size_t recordCount() const { return m_count; }
    const Record& record(std::size_t i) const { return m_records[i < kMaxRecords ? i : 0]; }

protected:
    int decodeRecords(std::span<const std::uint8_t> records) override;

private:
    std::array<std::int32_t, 3> m_position{};
    bool m_long = false;
    std::array<Record, kMaxRecords> m_records{};
    std::size_t m_count = 0;
};

} // namespace zeb::codecs
