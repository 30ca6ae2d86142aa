#pragma once

#include <cstdint>

namespace zeb::stream {

class IOSTStream;
class StreamEvent;

// What a callback subscriber is told.
enum class StreamEventCode : std::uint32_t {
    Open = 1, // argument 0
    Close = 2, // argument 0
    Receive = 3, // argument: const StreamEvent*
    Sent = 4, // argument 0
    Send = 5, // argument: const StreamEvent* of the outgoing message
    Connect = 6, // stream: the server stream; argument: IOSTStream* of the new peer
    Disconnect = 7, // stream: the server stream; argument: IOSTStream* of the peer
};

// A callback subscriber: called as callback(context, stream, code, argument) on the thread
// that produced the event.
using StreamCallback = void (*)(void* context, IOSTStream* stream, StreamEventCode code, std::intptr_t argument);

// The record behind the argument of Receive and Send.
inline const StreamEvent& eventArgument(std::intptr_t argument)
{
    return *reinterpret_cast<const StreamEvent*>(argument);
}

} // namespace zeb::stream
