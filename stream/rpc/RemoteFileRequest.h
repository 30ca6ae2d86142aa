#pragma once

#include "stream/StreamStatus.h"
#include "stream/rpc/RequestFrame.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace zeb::stream::rpc {

// A request or reply payload with its cursor. Fields are appended and read strictly in order,
// without tags: byte, word (4 bytes little-endian), double word (8 bytes little-endian), text
// (characters and a zero byte) and block (a word count, then the bytes). Every failure is 54
// and leaves the record as it was; a read never goes past the length.
class RemoteFileRequest
{
public:
    // A received payload may fill the whole buffer; what is built here stays within what any
    // receiver frames, so that a request or reply is never sent only to vanish on the way.
    static constexpr std::size_t kCapacity = 12068;
    static constexpr std::size_t kMaxAppend = RequestFrame::kMaxPayload;

    enum class Mode : char { Idle = 0, Write = 'w', Read = 'r' };

    // Empties the payload and starts appending.
    void beginWrite();
    // Starts reading from the first byte.
    void beginRead();

    StreamStatus appendByte(std::uint8_t value);
    StreamStatus appendWord(std::uint32_t value);
    StreamStatus appendDoubleWord(std::uint64_t value);
    // The text up to its first zero byte, then a zero byte.
    StreamStatus appendText(std::string_view text);
    StreamStatus appendBlock(std::span<const std::uint8_t> bytes);

    StreamStatus readByte(std::uint8_t& value);
    StreamStatus readWord(std::uint32_t& value);
    StreamStatus readDoubleWord(std::uint64_t& value);
    // Without the zero byte; the view points into the record. 54 when no zero byte ends it.
    StreamStatus readText(std::string_view& text);
    // The bytes of a block of `count` × `elementSize` bytes, pointing into the record.
    StreamStatus readBlock(std::span<const std::uint8_t>& bytes, std::size_t elementSize = 1);

    // Replaces the payload with a copy of `bytes` (at most kCapacity), read position reset.
    StreamStatus assign(std::span<const std::uint8_t> bytes);

    Mode mode() const { return m_mode; }
    std::size_t length() const { return m_length; }
    std::size_t readPosition() const { return m_readPosition; }
    std::span<const std::uint8_t> payload() const { return {m_buffer.data(), m_length}; }

    std::uint32_t kind = 2;
    // Chosen by the requester; a reply carries the identifier of its request.
    std::uint32_t identifier = 0;

private:
    // What may still be appended (nothing after a larger received payload was assigned).
    std::size_t room() const { return m_length < kMaxAppend ? kMaxAppend - m_length : 0; }
    StreamStatus append(const void* bytes, std::size_t count);
    StreamStatus take(void* bytes, std::size_t count);

    Mode m_mode = Mode::Idle;
    std::size_t m_length = 0;
    std::size_t m_readPosition = 0;
    std::array<std::uint8_t, kCapacity> m_buffer{};
};

} // namespace zeb::stream::rpc
