#include "stream/rpc/DirectoryEntry.h"

#include "stream/rpc/RequestCode.h"

#include <cstring>

namespace zeb::stream::rpc {

std::optional<DirectoryEntry> DirectoryEntry::decode(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() != kEntrySize)
        return std::nullopt;
    DirectoryEntry entry;
    const auto* name = reinterpret_cast<const char*>(bytes.data());
    // A peer may fill the field to the end without a zero byte.
    entry.name.assign(name, ::strnlen(name, kEntryNameSize));
    std::uint32_t words[4] = {};
    for (std::size_t i = 0; i < 4; ++i) {
        for (std::size_t b = 0; b < 4; ++b)
            words[i] |= static_cast<std::uint32_t>(bytes[kEntryNameSize + 4 * i + b]) << (8 * b);
    }
    entry.size = words[0];
    entry.time = words[1];
    entry.type = words[2];
    entry.mode = words[3];
    return entry;
}

} // namespace zeb::stream::rpc
