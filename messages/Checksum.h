#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zeb::messages {

// XOR of every byte of `text` after the first one (the "$"); 0 for a text of one byte or none.
std::uint8_t nmeaChecksum(std::string_view text);

// Appends "*", the checksum of `text` in two upper-case hexadecimal digits, and CR LF
// ("*%02X\r\n"). `text` begins with "$" and holds no "*".
void appendNmeaChecksum(std::string& text);

// The sum of the first `count` bytes. The count is a 16-bit number on the wire, so the sum
// never exceeds 65535 * 255; callers keep the low 16 bits where a 16-bit field is written.
std::uint32_t byteSum16(const std::uint8_t* bytes, std::uint16_t count);

} // namespace zeb::messages
