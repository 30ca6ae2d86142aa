#pragma once

#include <cstdint>

namespace zeb::stream {

class StreamEvent;

// A subscriber object. Each handler runs on the thread that produced the event (for received
// messages, the stream's receive thread) and must not wait for that thread.
class StreamListener
{
public:
    virtual ~StreamListener() = default;

    virtual void onReceive(const StreamEvent&) { }
    virtual void onSend(const StreamEvent&) { }
    virtual void onBreaker(std::intptr_t) { }
    virtual void onTrigger(std::intptr_t) { }
    virtual void onTimer(std::intptr_t) { }
    virtual void onReset() { }
};

} // namespace zeb::stream
