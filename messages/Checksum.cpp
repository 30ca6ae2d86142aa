#include "messages/Checksum.h"

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
    std::uint32_t sum = 0;
    for (std::uint16_t i = 0; i < count; ++i) {
        sum += bytes[i];
    }
    return sum;
}

} // namespace zeb::messages
