#pragma once

#include <cstdint>
#include <string_view>

namespace zeb::messages {

// The result of one framing step. The value 2 belongs to the transport layer (a blocking
// receive that found its transport at its end).
enum class ReadStatus : std::uint32_t {
    Discarded = 0, // bytes were taken from the buffer and handed out as broken
    Idle = 1, // nothing to hand out
    EndOfStream = 2,
    NeedMore = 3, // a frame has begun and more bytes are needed
    Complete = 4, // a message is handed out
};

// "Discarded", "Idle", "EndOfStream", "NeedMore", "Complete"; "?" otherwise.
std::string_view readStatusName(ReadStatus status);

} // namespace zeb::messages
