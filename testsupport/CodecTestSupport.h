#pragma once

#include "messages/Checksum.h"
#include "messages/codecs/CodecStatus.h"
#include "messages/codecs/MessageCodec.h"
#include "messages/codecs/OutputBuffer.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace zeb::codecs::test {

using Frame = std::vector<std::uint8_t>;

inline Frame bytesOf(const std::string& text)
{
    return Frame(text.begin(), text.end());
}

inline std::string textOf(const OutputBuffer& out)
{
    return std::string(out.text());
}

inline Frame operator+(Frame a, const Frame& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// 0xFE, letter, L, body, ByteSum16 of letter..body, 0xFF.
inline Frame sbinFrame(std::uint8_t letter, const Frame& body)
{
    const auto length = static_cast<std::uint16_t>(body.size() + 3);
    Frame frame{0xFE, letter, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)};
    frame.insert(frame.end(), body.begin(), body.end());
    const std::uint32_t sum = messages::byteSum16(frame.data() + 1, length) & 0xFFFF;
    frame.push_back(static_cast<std::uint8_t>(sum >> 8));
    frame.push_back(static_cast<std::uint8_t>(sum));
    frame.push_back(0xFF);
    return frame;
}

// A UHF frame from its bytes before the checksum: the checksum (when `timed`) and ETX are appended and the length
// field (BCD at 3, or 16 bits at 3-4 when `wide`) is set to the whole length.
inline Frame uhfFrame(Frame head, bool wide, bool timed = true)
{
    const std::size_t total = head.size() + (timed ? 3 : 1);
    if (wide) {
        head[3] = static_cast<std::uint8_t>(total >> 8);
        head[4] = static_cast<std::uint8_t>(total);
    } else {
        head[3] = static_cast<std::uint8_t>(((total / 10 % 10) << 4) | (total % 10));
    }
    if (timed) {
        const std::uint32_t sum = messages::byteSum16(head.data(), static_cast<std::uint16_t>(head.size())) & 0xFFFF;
        head.push_back(static_cast<std::uint8_t>(sum >> 8));
        head.push_back(static_cast<std::uint8_t>(sum));
    }
    head.push_back(0x03);
    return head;
}

inline std::unique_ptr<OutputBuffer> makeBuffer()
{
    return std::make_unique<OutputBuffer>();
}

// The text form of `frame` as `codec` decodes and prints it, or the status of the step that failed.
inline std::string decodedText(MessageCodec& codec, const Frame& frame)
{
    const auto out = makeBuffer();
    if (const int status = codec.decode(frame); status != codec_status::Ok) {
        return "decode status " + std::to_string(status);
    }
    const int status = codec.renderText(*out);
    return status == codec_status::Ok ? textOf(*out) : "render status " + std::to_string(status);
}

} // namespace zeb::codecs::test
