#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace zeb::stream::rpc {

// One entry of a remote directory listing, decoded from its 96 bytes: an 80-byte
// zero-terminated name, then size, time of last change (seconds since 1970), type and mode
// bits, each a little-endian word.
struct DirectoryEntry
{
    std::string name;
    std::uint32_t size = 0;
    std::uint32_t time = 0;
    std::uint32_t type = 0;
    std::uint32_t mode = 0;

    // None unless `bytes` is exactly one entry.
    static std::optional<DirectoryEntry> decode(std::span<const std::uint8_t> bytes);
};

} // namespace zeb::stream::rpc
