#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace zeb::stream::rpc {

// The binary frame that carries requests and replies:
//   0xFE 'x' L(2, big-endian: total length - 4) magic 0xCAFE0001 (4, little-endian)
//   kind (4, little-endian) identifier (4, little-endian) payload
//   checksum (2, big-endian: byte sum of the L bytes from 'x' through the payload) 0xFF
class RequestFrame
{
public:
    static constexpr std::uint32_t kMagic = 0xCAFE0001u;
    static constexpr std::size_t kHeaderSize = 16;
    static constexpr std::size_t kOverhead = kHeaderSize + 3;
    // The largest frame a receiving stream can hold: its 12068-byte buffer keeps one byte for
    // the terminating zero. Received frames are read up to this size.
    static constexpr std::size_t kMaxSize = 12067;
    static constexpr std::size_t kMaxReceivedPayload = kMaxSize - kOverhead;
    // What is sent stays below what every receiver frames, whatever the bytes: escaped (serial)
    // every inner byte may double and must still fit the buffer; unescaped (TCP) a frame with
    // an 0xFF inside is framed by its length field only up to 8000 bytes, which this is below.
    static constexpr std::size_t kMaxPayload = (kMaxSize - 2) / 2 - (kOverhead - 2);
    // Frames that are never escaped nor received by a stream (record files) are bounded only by
    // their 16-bit length field.
    static constexpr std::size_t kMaxUnescapedSize = 0xFFFF + 4;

    struct View
    {
        std::uint32_t kind = 0;
        std::uint32_t identifier = 0;
        std::span<const std::uint8_t> payload;
    };

    // Writes the frame into `out`; its size, or 0 when the payload is larger than kMaxPayload.
    static std::size_t build(std::uint32_t kind, std::uint32_t identifier, std::span<const std::uint8_t> payload,
                             std::array<std::uint8_t, kMaxSize>& out);
    // Completes a frame whose `payloadSize` payload bytes already stand at kHeaderSize in `out`
    // (so that a large payload is not copied twice); its size, or 0 when it does not fit `out`
    // or the length field.
    static std::size_t seal(std::uint32_t kind, std::uint32_t identifier, std::size_t payloadSize,
                            std::span<std::uint8_t> out);

    // Reads a received frame (unescaped, 0xFE through 0xFF). None when it is not one: wrong
    // start or end byte or letter, a length field that disagrees with the size, a frame larger
    // than `maxSize`, the wrong magic or a wrong checksum. The payload points into `frame`.
    static std::optional<View> parse(std::span<const std::uint8_t> frame, std::size_t maxSize = kMaxSize);
};

} // namespace zeb::stream::rpc
