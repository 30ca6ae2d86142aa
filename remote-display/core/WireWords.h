#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

namespace zeb::remote_display {

// Little-endian fields of display lists and panel requests.

inline bool readWordAt(std::span<const std::uint8_t> bytes, std::size_t at, std::uint32_t& value)
{
    if (at > bytes.size() || bytes.size() - at < 4)
        return false;
    value = static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8
        | static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
    return true;
}

inline bool readDoubleAt(std::span<const std::uint8_t> bytes, std::size_t at, double& value)
{
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    if (!readWordAt(bytes, at, low) || !readWordAt(bytes, at + 4, high))
        return false;
    value = std::bit_cast<double>(static_cast<std::uint64_t>(high) << 32 | low);
    return true;
}

inline void appendWord(std::string& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

inline void appendDouble(std::string& out, double value)
{
    const auto bits = std::bit_cast<std::uint64_t>(value);
    appendWord(out, static_cast<std::uint32_t>(bits));
    appendWord(out, static_cast<std::uint32_t>(bits >> 32));
}

} // namespace zeb::remote_display
