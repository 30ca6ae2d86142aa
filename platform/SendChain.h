#pragma once

#include <thread>

namespace zeb::platform {

// Who waits for whom through synchronous sends. A thread that runs a handler for a send keeps
// its sender blocked, and transitively everything that sender's own handler keeps blocked.
// Such a thread must never wait for one of those threads to end: it would wait for itself.
// Stopping code asks here before it joins a thread.
class SendChain
{
public:
    // One handler in progress on a thread: the thread blocked by it (`sender`), what blocks
    // that sender in turn, and the handler the thread was already running when this one began.
    struct Link
    {
        std::thread::id sender;
        const Link* senderChain = nullptr;
        const Link* outer = nullptr;
    };

    // The links of the calling thread; a sender hands them on with its request.
    static const Link* current();
    // True when `thread` is blocked, through one or more synchronous sends, until a handler
    // now running on the calling thread returns.
    static bool waitsOnCaller(std::thread::id thread);
    // True when the calling thread is `thread` or keeps it blocked: joining it would never end.
    static bool cannotJoin(std::thread::id thread);

    // Marks the calling thread as running a handler for `sender` while it lives.
    class Serving
    {
    public:
        Serving(std::thread::id sender, const Link* senderChain);
        ~Serving();
        Serving(const Serving&) = delete;
        Serving& operator=(const Serving&) = delete;

    private:
        Link m_link;
    };
};

} // namespace zeb::platform
