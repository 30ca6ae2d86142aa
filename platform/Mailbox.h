#pragma once

#include "platform/SendChain.h"
#include "platform/ThreadWaiter.h"
#include "platform/Types.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace zeb::platform {

class MessageTarget;

// A synchronous send in flight. It lives on the sender's stack; the sender sleeps on its own
// ThreadWaiter until the owning thread of the target marks it done.
struct SendRequest
{
    Handle target = kNoHandle;
    MessageId message = 0;
    WParam wParam = 0;
    LParam lParam = 0;
    LResult result = 0;
    std::atomic<bool> done{false};
    ThreadWaiter* sender = nullptr;
    // The sending thread and what keeps it blocked, for the handler's thread to inherit.
    std::thread::id senderThread;
    const SendChain::Link* senderChain = nullptr;

    // Answers the request and wakes the sender; the request must not be touched afterwards.
    void complete(LResult answer);
};

// The queues of one thread that owns message targets: synchronous sends, posted messages and
// timers. Other threads reach it through the target table; it may outlive its dispatcher for
// a moment, which is why every entry point checks that it is still open.
class Mailbox
{
public:
    using Clock = std::chrono::steady_clock;

    Mailbox(std::thread::id owner, ThreadWaiter& ownerWaiter, std::function<void()> wake);

    std::thread::id owner() const { return m_owner; }
    bool isOwnerThread() const { return m_owner == std::this_thread::get_id(); }

    // From any thread. False when the mailbox is closed; the message is then dropped.
    bool enqueueSend(SendRequest& request);
    bool enqueuePost(Handle target, MessageId message, WParam wParam, LParam lParam);
    bool setTimer(Handle target, TimerId id, std::chrono::milliseconds period);
    // Wakes the owner thread, unless the mailbox is closed (its thread may be gone).
    void wake();
    bool killTimer(Handle target, TimerId id);

    // On the owner thread only.
    bool serveSends();
    bool deliverPosts();
    bool fireDueTimers();
    std::optional<Clock::time_point> nextTimerDeadline();

    // Answers every waiting send with 0, drops posts and timers, and refuses everything after.
    void close();

private:
    struct Posted
    {
        Handle target;
        MessageId message;
        WParam wParam;
        LParam lParam;
    };
    struct Timer
    {
        Handle target;
        TimerId id;
        std::chrono::milliseconds period;
        Clock::time_point due;
    };

    void wakeOwner();

    const std::thread::id m_owner;
    ThreadWaiter& m_ownerWaiter;
    const std::function<void()> m_wake;

    std::mutex m_mutex;
    bool m_closed = false;
    std::deque<SendRequest*> m_sends;
    std::deque<Posted> m_posts;
    std::vector<Timer> m_timers;
};

} // namespace zeb::platform
