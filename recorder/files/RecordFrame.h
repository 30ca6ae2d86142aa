#pragma once

#include "recorder/files/RecordHeader.h"
#include "stream/rpc/RequestFrame.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace zeb::recorder {

// One record of a framed record file: an 'x' request frame of kind 1, identifier 0, written
// unescaped, whose payload is the word 21, a block of the 20-byte RecordHeader and a block
// of the data (a block is a 4-byte little-endian count, then the bytes).
class RecordFrame
{
public:
    static constexpr std::uint32_t kKind = 1;
    static constexpr std::uint32_t kCode = 21;
    static constexpr std::size_t kPayloadOverhead = 4 + 4 + RecordHeader::kSize + 4;
    static constexpr std::size_t kMaxSize = stream::rpc::RequestFrame::kMaxUnescapedSize;
    static constexpr std::size_t kMaxData = kMaxSize - stream::rpc::RequestFrame::kOverhead - kPayloadOverhead;
    using Buffer = std::array<std::uint8_t, kMaxSize>;

    struct View
    {
        RecordHeader header;
        std::span<const std::uint8_t> data;
    };

    // The size of the frame of a record of `dataSize` bytes.
    static constexpr std::size_t sizeFor(std::size_t dataSize)
    {
        return dataSize + kPayloadOverhead + stream::rpc::RequestFrame::kOverhead;
    }
    // Writes the frame of one record into `out`; its size, or 0 when the data is larger than
    // kMaxData or the frame does not fit `out`. The header's length is set from the data.
    static std::size_t build(RecordHeader header, std::span<const std::uint8_t> data, std::span<std::uint8_t> out);
    // Reads one whole frame (0xFE through 0xFF): none when it is no record frame or its
    // blocks disagree with its size or with the header's length.
    static std::optional<View> parse(std::span<const std::uint8_t> frame);
};

} // namespace zeb::recorder
