// Received bytes through the whole receive path: block splitting, the ping window, framing,
// request frames, discarding and the blocking receive over a memory block.
#include "stream/IOSTStream.h"
#include "stream/MemoryDevice.h"
#include "stream/StreamAddress.h"
#include "stream/StreamEvent.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace {

using zeb::stream::IOSTStream;
using zeb::stream::StreamEvent;
using zeb::stream::StreamEventCode;

struct Checker
{
    std::size_t bytes = 0;
    static void callback(void* context, IOSTStream*, StreamEventCode code, std::intptr_t argument)
    {
        if (code != StreamEventCode::Receive && code != StreamEventCode::Send)
            return;
        const StreamEvent& event = zeb::stream::eventArgument(argument);
        // Every delivered record is readable up to its terminating zero, and copies cleanly.
        if (event.data() && event.data()[event.length()] != 0)
            __builtin_trap();
        const StreamEvent copy(event);
        if (copy.length() != event.length() || std::memcmp(copy.data(), event.data(), event.length()) != 0)
            __builtin_trap();
        static_cast<Checker*>(context)->bytes += event.length();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte chooses the block size and whether a discard comes in the middle.
    const std::size_t block = 1 + (data[0] & 0x3F) * 97;
    const bool discardHalfway = (data[0] & 0x40) != 0;
    const std::span<const std::uint8_t> input(data + 1, size - 1);

    IOSTStream stream(IOSTStream::kAnonymous);
    Checker checker;
    stream.subscribeCallback(&Checker::callback, &checker);
    for (std::size_t at = 0; at < input.size(); at += block) {
        if (discardHalfway && at >= input.size() / 2 && at < input.size() / 2 + block)
            stream.discardInput();
        stream.feed(input.subspan(at, std::min(block, input.size() - at)));
    }
    // RTCM messages are rebuilt from bits that may straddle bytes already handed out, so the
    // delivered bytes are not bounded by the input; the count received is.
    if (stream.totalReceived() > input.size())
        __builtin_trap();

    // The same bytes read back through the blocking receive of a memory stream.
    const std::uint32_t key = zeb::stream::MemoryDevice::lendBlock(input);
    zeb::stream::StreamAddress address;
    address.type = zeb::stream::stream_type::Buffer;
    address.buffer = {key, static_cast<std::uint32_t>(input.size())};
    if (stream.open(address) == zeb::stream::StreamStatus::Ok) {
        StreamEvent event;
        std::size_t steps = 0;
        while (stream.receive(event) != zeb::messages::ReadStatus::EndOfStream) {
            if (++steps > 4 * input.size() + 16)
                __builtin_trap(); // the blocking receive must come to an end
        }
        stream.close();
    }
    zeb::stream::MemoryDevice::withdrawBlock(key);
    return 0;
}
