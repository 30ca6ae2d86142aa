#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace zeb::terminal {

// Completes typed sentences with their checksum before they are sent. Each line of the bytes (up to a CR
// or LF) that starts with '$' or '!', has more than that character and holds no '*' yet gets "*hh": the
// exclusive-or of the bytes after the first, in upper-case hexadecimal. Everything else is sent as typed.
class NmeaChecksum
{
public:
    // Writes the completed bytes into `out`, whose storage is reused from call to call.
    static void complete(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& out);
};

} // namespace zeb::terminal
