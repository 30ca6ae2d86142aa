#include "messages/RtcmWordAssembler.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <initializer_list>

namespace zeb::messages {

namespace {

constexpr std::uint32_t kDataMask = 0xFFFFFF;
constexpr double kZCountUnit = 0.6;
constexpr double kZCountPeriod = 3600.0;

// Data bit d1..d24 as a mask over the 24 data bits (d1 is sent first and sits in bit 23).
constexpr std::uint32_t dataBits(std::initializer_list<int> indices)
{
    std::uint32_t mask = 0;
    for (const int i : indices) {
        mask |= 1u << (24 - i);
    }
    return mask;
}

// The ICD-GPS-200 parity equations: each parity bit D25..D30 is D29* or D30* XOR these data bits.
constexpr std::array<std::uint32_t, 6> kParityMasks{
    dataBits({1, 2, 3, 5, 6, 10, 11, 12, 13, 14, 17, 18, 20, 23}),
    dataBits({2, 3, 4, 6, 7, 11, 12, 13, 14, 15, 18, 19, 21, 24}),
    dataBits({1, 3, 4, 5, 7, 8, 12, 13, 14, 15, 16, 19, 20, 22}),
    dataBits({2, 4, 5, 6, 8, 9, 13, 14, 15, 16, 17, 20, 21, 23}),
    dataBits({1, 3, 5, 6, 7, 9, 10, 14, 15, 16, 17, 18, 21, 22, 24}),
    dataBits({3, 5, 6, 8, 9, 10, 11, 13, 15, 19, 22, 23, 24}),
};
// Which of D29* (false) and D30* (true) enters each parity bit.
constexpr std::array<bool, 6> kParityUsesD30{false, true, false, true, true, false};

// The parity bits each data byte contributes, so that a word's parity is three lookups: the
// framer runs this for every bit while it searches for a preamble.
struct ParityTables
{
    std::array<std::array<std::uint8_t, 256>, 3> byByte{};
    std::uint32_t d29Mask = 0;
    std::uint32_t d30Mask = 0;
};

constexpr ParityTables makeParityTables()
{
    ParityTables tables;
    for (int slot = 0; slot < 3; ++slot) {
        for (std::uint32_t value = 0; value < 256; ++value) {
            const std::uint32_t data = value << (8 * (2 - slot));
            std::uint32_t result = 0;
            for (std::size_t i = 0; i < kParityMasks.size(); ++i) {
                result = (result << 1) | (static_cast<std::uint32_t>(std::popcount(data & kParityMasks[i])) & 1u);
            }
            tables.byByte[static_cast<std::size_t>(slot)][value] = static_cast<std::uint8_t>(result);
        }
    }
    for (std::size_t i = 0; i < kParityUsesD30.size(); ++i) {
        const std::uint32_t bit = 1u << (5 - i);
        (kParityUsesD30[i] ? tables.d30Mask : tables.d29Mask) |= bit;
    }
    return tables;
}
constexpr ParityTables kParity = makeParityTables();

// The parity of 24 data bits after a word whose last two bits were D29* and D30* (`stars`, D30* in
// bit 0).
constexpr std::uint32_t parityOf(std::uint32_t data, std::uint32_t stars)
{
    return (static_cast<std::uint32_t>(kParity.byByte[0][data >> 16]) ^ kParity.byByte[1][(data >> 8) & 0xFFu]
            ^ kParity.byByte[2][data & 0xFFu])
        ^ (kParity.d29Mask & (0u - ((stars >> 1) & 1u))) ^ (kParity.d30Mask & (0u - (stars & 1u)));
}

// The 24 data bits of the word in the low 30 bits of `reg`, complemented when D30* (bit 30) is set.
constexpr std::uint32_t dataOf(std::uint32_t reg)
{
    return ((reg >> 6) ^ (0u - ((reg >> 30) & 1u))) & kDataMask;
}

// Zero when the word in the 32 bits of `window` (D29*, D30*, then the 30 bits of the word) passes
// parity. It is linear in the window's bits: parity sums bits, and the complement by D30* adds D30*
// times a constant. So it adds up (XOR) over any split of the window.
constexpr std::uint32_t syndromeOf(std::uint32_t window)
{
    return parityOf(dataOf(window), window >> 30) ^ (window & 0x3Fu);
}

// While searching, each byte's six bits slide six windows into place: with v = register << 6 | bits,
// the t-th (t = 1..6) once t of the bits are in, bits 6-t to 37-t of v. These tables hold, for each
// of the five bytes of v, what it adds to the six windows' syndromes, one per byte lane t-1; the
// XOR of five lookups gives all six.
constexpr int kSlideBytes = 5;
using SlideTables = std::array<std::array<std::uint64_t, 256>, kSlideBytes>;

constexpr SlideTables makeSlideTables()
{
    SlideTables tables{};
    for (int slot = 0; slot < kSlideBytes; ++slot) {
        for (std::uint32_t value = 0; value < 256; ++value) {
            const std::uint64_t part = std::uint64_t{value} << (8 * slot);
            std::uint64_t lanes = 0;
            for (int t = 1; t <= 6; ++t) {
                const auto window = static_cast<std::uint32_t>(part >> (6 - t));
                lanes |= std::uint64_t{syndromeOf(window)} << (8 * (t - 1));
            }
            tables[static_cast<std::size_t>(slot)][value] = lanes;
        }
    }
    return tables;
}
constexpr SlideTables kSlide = makeSlideTables();
constexpr std::uint64_t kLaneHighs = 0x0000808080808080ull;
constexpr std::uint64_t kLaneOnes = 0x0000010101010101ull;

} // namespace

RtcmWordAssembler::RtcmWordAssembler() = default;

void RtcmWordAssembler::reset()
{
    const Clock clock = m_clock;
    const OverflowHandler overflow = m_overflow;
    void* const context = m_overflowContext;
    *this = RtcmWordAssembler();
    m_clock = clock;
    m_overflow = overflow;
    m_overflowContext = context;
}

void RtcmWordAssembler::setOverflowHandler(OverflowHandler handler, void* context)
{
    m_overflow = handler;
    m_overflowContext = context;
}

std::uint32_t RtcmWordAssembler::parity(std::uint32_t data, bool d29Star, bool d30Star)
{
    return parityOf(data & kDataMask, (d29Star ? 2u : 0u) | (d30Star ? 1u : 0u));
}

std::uint32_t RtcmWordAssembler::encodeWord(std::uint32_t data, std::uint32_t previous)
{
    data &= kDataMask;
    const bool d29Star = (previous >> 1) & 1u;
    const bool d30Star = previous & 1u;
    const std::uint32_t sent = d30Star ? data ^ kDataMask : data;
    return (sent << 6) | parity(data, d29Star, d30Star);
}

// With the register and its count in `reg` and `count`, which the caller keeps in locals.
inline RtcmWordAssembler::Feed RtcmWordAssembler::endWord(std::uint32_t& reg, int& count, std::uint32_t bits)
{
    // Synchronised, the word in the register passes: the remaining bits start the next one.
    const int first = kFullBits - count;
    const std::uint32_t word = (reg << first) | (bits >> (6 - first));
    if (parityOf(dataOf(word), word >> 30) == (word & 0x3Fu)) {
        const int rest = 6 - first;
        reg = (word << rest) | (bits & ((1u << rest) - 1u));
        count = kResetBits + rest;
        m_rejected = false;
        if (acceptWord(dataOf(word))) {
            return Feed::Complete;
        }
        return m_rejected ? Feed::Rejected : Feed::Absorbed;
    }
    m_register = reg;
    m_bits = count;
    const Feed fed = searchWord(bits);
    reg = m_register;
    count = m_bits;
    return fed;
}

RtcmWordAssembler::Feed RtcmWordAssembler::searchWord(std::uint32_t bits)
{
    // The byte usually brings no word that passes: every window fails.
    if (passesNoWord(bits)) {
        parityFailed();
        m_register = (m_register << 6) | bits;
        m_bits = kFullBits - 1;
        return Feed::Rejected;
    }
    return slideBits(bits);
}

RtcmWordAssembler::Run RtcmWordAssembler::feedRun(std::span<const std::uint8_t> bytes)
{
    const std::uint8_t* const begin = bytes.data();
    const std::uint8_t* const end = begin + bytes.size();
    const std::uint8_t* p = begin;
    // The raw bytes from here to p are absorbed but not yet copied: whole runs are copied at once.
    const std::uint8_t* kept = begin;
    // The register stays out of memory meanwhile.
    std::uint32_t reg = m_register;
    int count = m_bits;
    while (p != end) {
        const std::uint32_t bits = rtcm_detail::kReverse6[*p++ & 0x3Fu];
        // Within a word six more bits need no check.
        if (count <= kFullBits - 7) {
            reg = (reg << 6) | bits;
            count += 6;
            continue;
        }
        const Feed fed = endWord(reg, count, bits);
        if (fed == Feed::Absorbed) {
            continue;
        }
        // The byte that completes or rejects goes with the raw bytes before it.
        dropRaw(static_cast<std::size_t>(p - 1 - kept));
        kept = p;
        if (fed == Feed::Complete) {
            m_register = reg;
            m_bits = count;
            return {static_cast<std::size_t>(p - begin), true};
        }
    }
    m_register = reg;
    m_bits = count;
    keepRaw(kept, static_cast<std::size_t>(end - kept));
    return {bytes.size(), false};
}

RtcmWordAssembler::Feed RtcmWordAssembler::feedAcrossWord(std::uint8_t byte)
{
    std::uint32_t reg = m_register;
    int count = m_bits;
    const Feed fed = endWord(reg, count, rtcm_detail::kReverse6[byte & 0x3Fu]);
    m_register = reg;
    m_bits = count;
    if (fed == Feed::Absorbed) {
        keepRaw(byte);
    } else {
        clearRaw();
    }
    return fed;
}

RtcmWordAssembler::Feed RtcmWordAssembler::slideBits(std::uint32_t bits)
{
    // Shift the six bits in as whole runs up to each word boundary: the same as one bit at a
    // time, since a word is only examined when its 30th bit has arrived. While searching, that is
    // every bit, so the check stays in this loop.
    std::uint32_t reg = m_register;
    int count = m_bits;
    int left = 6;
    bool complete = false;
    m_rejected = false;
    while (left > 0) {
        const int take = std::min(left, kFullBits - count);
        reg = (reg << take) | ((bits >> (left - take)) & ((1u << take) - 1u));
        left -= take;
        count += take;
        if (count < kFullBits) {
            continue;
        }
        const std::uint32_t data = dataOf(reg);
        if (parityOf(data, reg >> 30) != (reg & 0x3Fu)) {
            parityFailed();
            // Keep the counter full: the next bit slides the window by one and is examined again.
            count = kFullBits - 1;
            continue;
        }
        count = kResetBits;
        complete = acceptWord(data) || complete;
    }
    m_register = reg;
    m_bits = count;
    if (complete) {
        return Feed::Complete;
    }
    return m_rejected ? Feed::Rejected : Feed::Absorbed;
}

bool RtcmWordAssembler::passesNoWord(std::uint32_t bits) const
{
    const std::uint64_t v = (std::uint64_t{m_register} << 6) | bits;
    const std::uint64_t lanes = kSlide[0][v & 0xFFu] ^ kSlide[1][(v >> 8) & 0xFFu] ^ kSlide[2][(v >> 16) & 0xFFu]
        ^ kSlide[3][(v >> 24) & 0xFFu] ^ kSlide[4][(v >> 32) & 0xFFu];
    // The first window examined completes the register's count; those after it are examined only
    // if it fails, and none passing means that each of them fails.
    const int first = kFullBits - m_bits;
    const std::uint64_t examined = (kLaneHighs << (8 * (first - 1))) & kLaneHighs;
    const std::uint64_t zeroLanes = ~((lanes | kLaneHighs) - kLaneOnes) & kLaneHighs;
    return (zeroLanes & examined) == 0;
}

void RtcmWordAssembler::parityFailed()
{
    if (m_synchronised) {
        ++m_parityErrors;
        m_synchronised = false;
    }
    m_wordIndex = 0;
    m_rejected = true;
}

bool RtcmWordAssembler::acceptWord(std::uint32_t data)
{
    if (m_wordIndex == 0) {
        if ((data >> 16) != kPreamble) {
            m_rejected = true;
            return false;
        }
        m_current = RtcmMessage{};
        m_current.messageType = static_cast<std::uint8_t>((data >> 10) & 0x3Fu);
        m_current.stationId = static_cast<std::uint16_t>(data & 0x3FFu);
        m_current.words[0] = data;
        m_current.wordCount = 1;
        m_wordIndex = 1;
        m_synchronised = true;
        m_rejected = false;
        return false;
    }
    m_current.words[static_cast<std::size_t>(m_wordIndex)] = data;
    m_current.wordCount = ++m_wordIndex;
    if (m_wordIndex == 2) {
        m_current.zCount = static_cast<std::uint16_t>(data >> 11);
        m_current.sequence = static_cast<std::uint8_t>((data >> 8) & 0x7u);
        m_current.length = static_cast<std::uint8_t>((data >> 3) & 0x1Fu);
        m_current.health = static_cast<std::uint8_t>(data & 0x7u);
    }
    if (m_wordIndex < m_current.length + 2) {
        return false;
    }
    m_current.time = GnssTime::resolve(m_current.zCount * kZCountUnit, kZCountPeriod, m_clock());
    m_done = m_current;
    m_wordIndex = 0;
    return true;
}

void RtcmWordAssembler::keepRaw(const std::uint8_t* bytes, std::size_t count)
{
    const std::size_t taken = std::min(count, m_raw.size() - m_rawCount);
    if (taken != 0) {
        std::memcpy(m_raw.data() + m_rawCount, bytes, taken);
        m_rawCount += taken;
    }
    if (taken < count) {
        reportOverflow();
    }
}

void RtcmWordAssembler::dropRaw(std::size_t count)
{
    if (count > m_raw.size() - m_rawCount) {
        reportOverflow();
    }
    clearRaw();
}

void RtcmWordAssembler::reportOverflow()
{
    if (!m_overflowReported && m_overflow != nullptr) {
        m_overflow(m_overflowContext);
    }
    m_overflowReported = true;
}

std::size_t RtcmWordAssembler::rebuild(std::uint8_t* out) const
{
    // As encodeWord, word after word, with the parity straight from the tables.
    std::uint32_t previous = 0;
    std::uint8_t* p = out;
    for (int i = 0; i < m_done.wordCount; ++i) {
        const std::uint32_t data = m_done.words[static_cast<std::size_t>(i)] & kDataMask;
        const std::uint32_t sent = data ^ (kDataMask & (0u - (previous & 1u)));
        const std::uint32_t word = (sent << 6) | parityOf(data, previous & 3u);
        previous = word;
        p[0] = static_cast<std::uint8_t>(0x40u | rtcm_detail::kReverse6[(word >> 24) & 0x3Fu]);
        p[1] = static_cast<std::uint8_t>(0x40u | rtcm_detail::kReverse6[(word >> 18) & 0x3Fu]);
        p[2] = static_cast<std::uint8_t>(0x40u | rtcm_detail::kReverse6[(word >> 12) & 0x3Fu]);
        p[3] = static_cast<std::uint8_t>(0x40u | rtcm_detail::kReverse6[(word >> 6) & 0x3Fu]);
        p[4] = static_cast<std::uint8_t>(0x40u | rtcm_detail::kReverse6[word & 0x3Fu]);
        p += 5;
    }
    return static_cast<std::size_t>(p - out);
}

} // namespace zeb::messages
