#include "messages/Checksum.h"

#include <cstring>

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
    // Eight bytes a step: each 16-bit lane of `lanes` gathers two bytes a step, and is folded
    // into the sum every 128 steps, before it could overflow. Record files and request frames
    // sum every byte they carry.
    constexpr std::uint64_t kEvenBytes = 0x00FF00FF00FF00FFull;
    constexpr std::size_t kStepsPerFold = 128;
    const std::size_t total = count;
    std::uint32_t sum = 0;
    std::size_t i = 0;
    while (total - i >= 8) {
        std::uint64_t lanes = 0;
        for (std::size_t step = 0; step < kStepsPerFold && total - i >= 8; ++step, i += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, bytes + i, 8);
            lanes += (word & kEvenBytes) + ((word >> 8) & kEvenBytes);
        }
        for (int lane = 0; lane < 4; ++lane)
            sum += static_cast<std::uint32_t>((lanes >> (16 * lane)) & 0xFFFF);
    }
    for (; i < total; ++i)
        sum += bytes[i];
    return sum;
}

} // namespace zeb::messages
