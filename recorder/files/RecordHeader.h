#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace zeb::recorder {

// The 20-byte little-endian header in front of every record of a framed record file:
//   0 type (0 text line, 26 message)   1 tag (track letter; 0 for text; 255 none)   2 zero
//   3 flags (4 for a text line)   4 time in ms since the recording started   8 data length
//   12 and 13 "marker" (1 for messages and start/continue lines, 0 for header lines)
//   14..19 zero (other writers leave a memory reference in 16..19: readers ignore it)
struct RecordHeader
{
    static constexpr std::size_t kSize = 20;
    static constexpr std::uint8_t kText = 0;
    static constexpr std::uint8_t kMessage = 26;
    static constexpr std::uint8_t kNoTag = 255;
    static constexpr std::uint8_t kTextFlags = 4;

    std::uint8_t type = kMessage;
    std::uint8_t tag = kNoTag;
    std::uint8_t flags = 0;
    std::uint32_t timeMs = 0;
    std::uint32_t length = 0;
    std::uint8_t marker = 1;

    static RecordHeader message(std::uint8_t tag, std::uint32_t timeMs, std::uint32_t length);
    // A text record; `headerLine` for the lines that open and close a file (time 0, marker 0).
    static RecordHeader text(std::uint32_t timeMs, std::uint32_t length, bool headerLine);

    void encode(std::span<std::uint8_t, kSize> out) const;
    static RecordHeader decode(std::span<const std::uint8_t, kSize> in);
};

} // namespace zeb::recorder
