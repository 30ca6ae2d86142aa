#pragma once

#include "messages/codecs/MessageCodec.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace zeb::codecs {

// One parameter of the GPS broadcast message, as a run of bits in the data words with their parity removed (24 bits
// a word, words back to back, most significant bit first). The engineering value is the integer times `scale`.
struct WordField
{
    std::uint16_t offset;
    std::uint8_t bits;
    bool isSigned;
    double scale;
};

// What a message carries before its data words: nothing, the satellite ("%u"), or the satellite and the week
// ("%u,%u").
enum class SatellitePrefix { None, Satellite, SatelliteAndWeek };

struct DataWordLayout
{
    char letter;
    messages::MessageType type;
    std::size_t words; // a multiple of 8: the text form writes eight words a line
    SatellitePrefix prefix;
    std::span<const WordField> fields;
};

// The members whose bodies are data words of the GPS broadcast message ('U', 'S', 'E', 'A').
//
// Binary body: [satellite wire number (1)] [week (2)] then the words, three bytes each. Text body: the satellite line
// ("%u" or "%u,%u") when the member has one, then the words as six upper-case hexadecimal digits, eight a line,
// separated by commas. Decoding keeps the words as received and converts every field to engineering units;
// rendering converts the fields back (rounding half away from zero, clamped to the field), over the received
// words, so bits that belong to no field (reserved bits, the two trailing bits of word 10) pass through unchanged.
class DataWordCodec : public MessageCodec
{
public:
    static constexpr std::size_t kMaxWords = 24;
    static constexpr std::size_t kMaxFields = 72;

    explicit DataWordCodec(const DataWordLayout& layout);

    void reset() override;
    int renderText(OutputBuffer& out) const override;
    int renderBinary(OutputBuffer& out) const override;

    double value(std::size_t field) const;
    // The integer a field holds on the wire after converting its current value back.
    std::int64_t wireValue(std::size_t field) const;
    void setValue(std::size_t field, double value);
    std::size_t fieldCount() const { return m_layout.fields.size(); }

    // The satellite as an internal index (see satelliteIndex), -1 when the member carries none.
    int satellite() const { return m_satellite; }
    unsigned week() const { return m_week; }
    // Makes the object a valid message built by hand: every field 0 except those set afterwards.
    void build(int satellite, unsigned week);
    bool checksumOk() const { return m_checksumOk; }

protected:
    int decodeBinary(std::span<const std::uint8_t> frame) override;
    int decodeText(std::span<const std::uint8_t> frame) override;

private:
    std::size_t prefixBytes() const;
    void unpack();
    std::array<std::uint8_t, kMaxWords * 3> packed() const;
    int setSatellite(unsigned wireNumber);

    DataWordLayout m_layout;
    std::array<std::uint8_t, kMaxWords * 3> m_words{};
    std::array<double, kMaxFields> m_values{};
    int m_satellite = -1;
    unsigned m_week = 0;
    bool m_checksumOk = false;
};

} // namespace zeb::codecs
