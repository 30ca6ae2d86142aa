#pragma once

#include "messages/codecs/UhfCodec.h"

#include <array>
#include <string_view>

namespace zeb::codecs {

// UHF 'X', "UHF MESSAGE": STX, 'X', the BCD address, the 16-bit length (at least 6), the payload, ETX. The text form
// copies payload bytes 0x20-0x7F and writes every other byte as "\x" and two upper-case hexadecimal digits, so that
// the text stays a printable STX ... ETX frame; it is meant for display and is not read back.
class UhfMessageCodec : public UhfCodec
{
public:
    static constexpr std::size_t kMaxPayload = 12068;

    UhfMessageCodec();

    void reset() override;
    int renderText(OutputBuffer& out) const override;

    std::span<const std::uint8_t> payload() const { return {m_payload.data(), m_size}; }

protected:
    int decodeRecords(std::span<const std::uint8_t> records) override;

private:
    std::array<std::uint8_t, kMaxPayload> m_payload{};
    std::size_t m_size = 0;
};

} // namespace zeb::codecs
