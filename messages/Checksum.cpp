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
    // Sixteen bytes a step: each 16-bit lane of `lanes` gathers four bytes a step, and is
    // folded into the sum every 64 steps, before it could overflow. Record files and request
    // frames sum every byte they carry.
    constexpr std::uint64_t kEvenBytes = 0x00FF00FF00FF00FFull;
    constexpr std::size_t kStep = 16;
    constexpr std::size_t kStepsPerFold = 64;
    const std::size_t total = count;
    std::uint32_t sum = 0;
    std::size_t i = 0;
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
    for (; i < total; ++i)
        sum += bytes[i];
    return sum;
}

} // namespace zeb::messages
