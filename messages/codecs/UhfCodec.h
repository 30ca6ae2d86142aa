#pragma once

#include "messages/codecs/MessageCodec.h"

#include <array>
#include <optional>

namespace zeb::codecs {

// Common part of the UHF link frames: STX, the letter, the address as two BCD digits, the frame length L counting
// every byte from STX through ETX (two BCD digits for 'C' and 'P', 16 bits big-endian for 'T' and 'X', as the framer
// reads it), then for 'C', 'P' and 'T' a BCD value (0-99) and the time as six BCD digits in units of 0.1 s, resolved
// to a full time with the period 4915.2 s; records; the ByteSum16 of every byte before the checksum (2 bytes,
// big-endian); ETX as byte L - 1.
class UhfCodec : public MessageCodec
{
public:
    static constexpr double kTimePeriod = 4915.2;

    struct Layout
    {
        char letter;
        messages::MessageType type;
        bool wideLength; // 16-bit length ('T', 'X') rather than BCD
        std::size_t minLength; // shorter frames give LengthTooSmall
        bool timed; // value, time and checksum follow ('C', 'P', 'T')
    };

    explicit UhfCodec(const Layout& layout);

    void reset() override;

    unsigned address() const { return m_address; }
    std::size_t length() const { return m_length; }
    unsigned value() const { return m_value; }
    // The time the frame's time of period is resolved against; the system clock when none is set.
    void setReferenceTime(std::optional<messages::GnssTime> now) { m_reference = now; }

protected:
    int decodeBinary(std::span<const std::uint8_t> frame) final;
    bool isText(std::span<const std::uint8_t>) const final { return false; }
    // The bytes between the header and the checksum (or the ETX for untimed frames).
    virtual int decodeRecords(std::span<const std::uint8_t> records) = 0;
    // STX, CR, LF and, for timed members, "!D,%u,%.1f\r\n".
    void beginText(OutputBuffer& out) const;
    // "%N,<address>,x,y,z" with the reference position in metres (stored in 0.01 m).
    void appendPosition(OutputBuffer& out, const std::array<std::int32_t, 3>& position) const;
    static constexpr std::size_t headerSize(bool wideLength, bool timed)
    {
        return (wideLength ? 5 : 4) + (timed ? 4 : 0);
    }

private:
    Layout m_layout;
    std::optional<messages::GnssTime> m_reference;
    unsigned m_address = 0;
    std::size_t m_length = 0;
    unsigned m_value = 0;
};

} // namespace zeb::codecs
