#pragma once

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <string>

namespace zeb::tools {

// The JSON lines the commands print: bytes as lower-case hex digits, and one object a line.
inline std::string hexOf(const std::uint8_t* bytes, std::size_t count)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        hex.push_back(kDigits[bytes[i] >> 4]);
        hex.push_back(kDigits[bytes[i] & 0x0F]);
    }
    return hex;
}

// Texts may hold bytes 0x80-0xFF that are no UTF-8: those print as U+FFFD.
inline std::string dump(const nlohmann::ordered_json& json)
{
    return json.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

} // namespace zeb::tools
