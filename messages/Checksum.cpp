#include "messages/Checksum.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zeb::messages {

std::uint8_t nmeaChecksum(std::string_view text)
{
    std::uint8_t sum = 0;
    for (std::size_t i = 1; i < text.size(); ++i) {
        sum ^= static_cast<std::uint8_t>(text[i]);
    }
    return sum;
}

void appendNmeaChecksum(std::string& text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    const std::uint8_t sum = nmeaChecksum(text);
    const char tail[] = {'*', kHex[sum >> 4], kHex[sum & 0x0F], '\r', '\n'};
    text.append(tail, sizeof tail);
}

std::uint32_t byteSum16(const std::uint8_t* bytes, std::uint16_t count)
{
    // Record files and request frames sum every byte they carry, most of them short.
    const std::size_t total = count;
    std::uint32_t sum = 0;
    std::size_t i = 0;
#if defined(__SSE2__)
    // Each step sums sixteen bytes into two 64-bit lanes, which cannot overflow for 65535 bytes.
    const __m128i zero = _mm_setzero_si128();
    __m128i lanes = zero;
    for (; total - i >= 16; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        lanes = _mm_add_epi64(lanes, _mm_sad_epu8(block, zero));
    }
    if (total - i >= 8) {
        const __m128i block = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes + i));
        lanes = _mm_add_epi64(lanes, _mm_sad_epu8(block, zero));
        i += 8;
    }
    sum = static_cast<std::uint32_t>(_mm_cvtsi128_si32(lanes) + _mm_cvtsi128_si32(_mm_unpackhi_epi64(lanes, lanes)));
#else
    // Sixteen bytes a step: each 16-bit lane of `lanes` gathers four bytes a step, and is
    // folded into the sum every 64 steps, before it could overflow.
    constexpr std::uint64_t kEvenBytes = 0x00FF00FF00FF00FFull;
    constexpr std::size_t kStep = 16;
    constexpr std::size_t kStepsPerFold = 64;
    while (total - i >= kStep) {
        std::uint64_t lanes = 0;
        for (std::size_t step = 0; step < kStepsPerFold && total - i >= kStep; ++step, i += kStep) {
            std::uint64_t words[2];
            std::memcpy(words, bytes + i, kStep);
            lanes += (words[0] & kEvenBytes) + ((words[0] >> 8) & kEvenBytes) + (words[1] & kEvenBytes)
                + ((words[1] >> 8) & kEvenBytes);
        }
        for (int lane = 0; lane < 4; ++lane)
            sum += static_cast<std::uint32_t>((lanes >> (16 * lane)) & 0xFFFF);
    }
#endif
    for (; i < total; ++i)
        sum += bytes[i];
    return sum;
}

} // namespace zeb::messages
