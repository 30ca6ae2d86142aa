#pragma once

#include "messages/codecs/UhfCodec.h"

#include <array>
#include <cstdint>

namespace zeb::codecs {

// UHF 'C', "UHF CODE": (L - 11) / 4 records of 4 bytes, at most 10: the wire satellite number, then the code
// correction as a signed 24-bit number in units of 0.01 (0x800000: none). A record whose satellite is unknown or
// whose correction is absent is skipped; a frame must keep at least one.
class UhfCodeCodec : public UhfCodec
{
public:
    static constexpr std::size_t kMaxRecords = 10;
    struct Record
    {
        std::uint8_t satellite = 0; // wire number
        std::int32_t correction = 0; // unit 0.01
    };

    UhfCodeCodec();

    void reset() override;
    int renderText(OutputBuffer& out) const override;

    std::size_t recordCount() const { return m_count; }
    const Record& record(std::size_t i) const { return m_records[i < kMaxRecords ? i : 0]; }

protected:
    int decodeRecords(std::span<const std::uint8_t> records) override;

private:
    std::array<Record, kMaxRecords> m_records{};
    std::size_t m_count = 0;
};

} // namespace zeb::codecs
