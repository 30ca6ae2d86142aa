#include "stream/rpc/RequestFrame.h"

#include "messages/Checksum.h"

#include <algorithm>
#include <cstring>

namespace zeb::stream::rpc {

namespace {

constexpr std::uint8_t kStart = 0xFE;
constexpr std::uint8_t kEnd = 0xFF;
constexpr std::uint8_t kLetter = 'x';

void putWord(std::uint8_t* out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t getWord(const std::uint8_t* in)
{
    return static_cast<std::uint32_t>(in[0]) | static_cast<std::uint32_t>(in[1]) << 8
        | static_cast<std::uint32_t>(in[2]) << 16 | static_cast<std::uint32_t>(in[3]) << 24;
}

std::uint16_t checksumOf(const std::uint8_t* frame, std::size_t payloadSize)
{
    const auto covered = static_cast<std::uint16_t>(RequestFrame::kHeaderSize - 1 + payloadSize);
    return static_cast<std::uint16_t>(messages::byteSum16(frame + 1, covered) & 0xFFFFu);
}

} // namespace

std::size_t RequestFrame::build(std::uint32_t kind, std::uint32_t identifier, std::span<const std::uint8_t> payload,
                                std::array<std::uint8_t, kMaxSize>& out)
{
    if (payload.size() > kMaxPayload)
        return 0;
    if (!payload.empty())
        std::memcpy(out.data() + kHeaderSize, payload.data(), payload.size());
    return seal(kind, identifier, payload.size(), out);
}

std::size_t RequestFrame::seal(std::uint32_t kind, std::uint32_t identifier, std::size_t payloadSize,
                               std::span<std::uint8_t> out)
{
    const std::size_t size = payloadSize + kOverhead;
    if (size > out.size() || size > kMaxUnescapedSize)
        return 0;
    const std::size_t length = size - 4;
    out[0] = kStart;
    out[1] = kLetter;
    out[2] = static_cast<std::uint8_t>(length >> 8);
    out[3] = static_cast<std::uint8_t>(length);
    putWord(out.data() + 4, kMagic);
    putWord(out.data() + 8, kind);
    putWord(out.data() + 12, identifier);
    const std::uint16_t sum = checksumOf(out.data(), payloadSize);
    out[kHeaderSize + payloadSize] = static_cast<std::uint8_t>(sum >> 8);
    out[kHeaderSize + payloadSize + 1] = static_cast<std::uint8_t>(sum);
    out[size - 1] = kEnd;
    return size;
}

std::optional<RequestFrame::View> RequestFrame::parse(std::span<const std::uint8_t> frame, std::size_t maxSize)
{
    if (frame.size() < kOverhead || frame.size() > std::min(maxSize, kMaxUnescapedSize))
        return std::nullopt;
    const std::uint8_t* bytes = frame.data();
    if (bytes[0] != kStart || bytes[1] != kLetter || bytes[frame.size() - 1] != kEnd)
        return std::nullopt;
    const std::size_t length = static_cast<std::size_t>(bytes[2]) << 8 | bytes[3];
    if (length + 4 != frame.size() || getWord(bytes + 4) != kMagic)
        return std::nullopt;
    const std::size_t payloadSize = frame.size() - kOverhead;
    const std::uint16_t sum = checksumOf(bytes, payloadSize);
    const std::uint16_t stated
        = static_cast<std::uint16_t>(bytes[kHeaderSize + payloadSize] << 8 | bytes[kHeaderSize + payloadSize + 1]);
    if (sum != stated)
        return std::nullopt;
    return View{getWord(bytes + 8), getWord(bytes + 12), frame.subspan(kHeaderSize, payloadSize)};
}

} // namespace zeb::stream::rpc
