#pragma once

#include "messages/GnssTime.h"
#include "messages/RtcmMessage.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace zeb::messages {

namespace rtcm_detail {

// Bit order within a byte is reversed on the wire: the least significant bit is sent first.
constexpr std::array<std::uint8_t, 64> makeReverse6()
{
    std::array<std::uint8_t, 64> table{};
    for (unsigned v = 0; v < 64; ++v) {
        unsigned r = 0;
        for (unsigned b = 0; b < 6; ++b) {
            r |= ((v >> b) & 1u) << (5 - b);
        }
        table[v] = static_cast<std::uint8_t>(r);
    }
    return table;
}
inline constexpr std::array<std::uint8_t, 64> kReverse6 = makeReverse6();

} // namespace rtcm_detail

// Assembles RTCM SC-104 version 2 messages from the six-of-eight byte form: every byte
// 0x40-0x7F carries six bits, least significant first. Words are 30 bits with the parity of
// ICD-GPS-200; the assembler slides bit by bit until a word passes parity and carries the
// preamble, then reads the header and N data words. Messages need not start on a byte boundary.
class RtcmWordAssembler
{
public:
    static constexpr std::size_t kRawCapacity = 160;
    static constexpr std::uint32_t kPreamble = 0x66;

    enum class Feed {
        Absorbed, // taken into the search or a message under way
        Rejected, // a word failed parity, or a first word carried no preamble
        Complete, // the last word of a message ended in this byte; see message()
    };

    using Clock = GnssTime (*)();
    using OverflowHandler = void (*)(void* context);

    RtcmWordAssembler();

    // One received byte; only its low six bits are used. Inline for the common case of a byte
    // that ends no word: the framer calls this for every byte of an RTCM stream.
    Feed feed(std::uint8_t byte)
    {
        if (m_bits > kFullBits - 7) {
            return feedAcrossWord(byte);
        }
        m_register = (m_register << 6) | rtcm_detail::kReverse6[byte & 0x3Fu];
        m_bits += 6;
        keepRaw(byte);
        return Feed::Absorbed;
    }

    // Feeds the bytes of `bytes` one after the other as feed() would, and stops after the byte
    // that completes a message: the framer hands over whole runs of an RTCM stream this way.
    struct Run
    {
        std::size_t taken = 0;
        bool complete = false; // the last byte taken completed a message
    };
    Run feedRun(std::span<const std::uint8_t> bytes);

    // The last complete message (valid after Feed::Complete until the next one completes).
    const RtcmMessage& message() const { return m_done; }
    // The last complete message in six-of-eight form: five bytes per word, parity recomputed,
    // the first word as if preceded by zero bits. Writes message().wordCount * 5 bytes.
    static constexpr std::size_t kMaxRebuiltBytes = RtcmMessage::kMaxWords * 5;
    std::size_t rebuild(std::uint8_t* out) const;

    bool synchronised() const { return m_synchronised; }
    std::uint32_t parityErrors() const { return m_parityErrors; }
    int wordIndex() const { return m_wordIndex; }
    // Raw bytes of the message under way (at most kRawCapacity).
    std::span<const std::uint8_t> rawBytes() const { return {m_raw.data(), m_rawCount}; }
    void clearRaw()
    {
        m_rawCount = 0;
        m_overflowReported = false;
    }

    // Back to the state of a new assembler (counters included).
    void reset();

    // Where the Z-count is resolved against "now"; the system clock unless told otherwise.
    void setClock(Clock clock) { m_clock = clock; }
    // Called once per message when its raw bytes no longer fit in the raw buffer.
    void setOverflowHandler(OverflowHandler handler, void* context);

    // The six parity bits D25..D30 of a word with data bits d1..d24 (d1 in bit 23), given the
    // last two bits D29* and D30* of the word before it.
    static std::uint32_t parity(std::uint32_t data, bool d29Star, bool d30Star);
    // The 30 bits of a word as sent after `previous` (whose low two bits are D29* and D30*).
    static std::uint32_t encodeWord(std::uint32_t data, std::uint32_t previous);

private:
    static constexpr int kResetBits = 2;
    static constexpr int kFullBits = 32;

    Feed feedAcrossWord(std::uint8_t byte);
    // Shifts in the six bits `bits` of a byte in which a word ends, and examines it (and, when it
    // fails, each window the following bits slide into place). Leaves the raw bytes alone.
    Feed endWord(std::uint32_t& reg, int& count, std::uint32_t bits);
    // endWord once the word in the register has failed, with the register in its members.
    Feed searchWord(std::uint32_t bits);
    // The general form of endWord: bit runs up to each word boundary.
    Feed slideBits(std::uint32_t bits);
    // None of the windows examined from the first after the current count passes parity: the
    // common case while searching, decided without sliding bit by bit.
    bool passesNoWord(std::uint32_t bits) const;
    void parityFailed();
    bool acceptWord(std::uint32_t data);
    void keepRaw(std::uint8_t byte)
    {
        if (m_rawCount < m_raw.size()) {
            m_raw[m_rawCount++] = byte;
            return;
        }
        reportOverflow();
    }
    void keepRaw(const std::uint8_t* bytes, std::size_t count);
    // Clears the raw bytes after `count` more that would have been kept (and reported if they overflow).
    void dropRaw(std::size_t count);
    void reportOverflow();

    std::uint32_t m_register = 0;
    int m_bits = kResetBits;
    int m_wordIndex = 0;
    bool m_synchronised = false;
    std::uint32_t m_parityErrors = 0;
    bool m_rejected = false;
    RtcmMessage m_current;
    RtcmMessage m_done;
    std::array<std::uint8_t, kRawCapacity> m_raw{};
    std::size_t m_rawCount = 0;
    bool m_overflowReported = false;
    Clock m_clock = &GnssTime::now;
    OverflowHandler m_overflow = nullptr;
    void* m_overflowContext = nullptr;
};

} // namespace zeb::messages
