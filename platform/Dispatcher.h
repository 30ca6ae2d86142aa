#pragma once

#include <chrono>
#include <memory>
#include <optional>

namespace zeb::platform {

class Mailbox;

// The message loop of one thread that owns message targets. A dispatcher is created on its
// thread and destroyed there; while it exists, synchronous sends, posted messages and timers
// addressed to the thread's targets reach them. How the thread is woken up when something
// arrives is the business of the concrete loop: the headless loop of the tools and tests, or
// Qt's event loop in the application.
class Dispatcher
{
public:
    using Clock = std::chrono::steady_clock;

    virtual ~Dispatcher();

    Dispatcher(const Dispatcher&) = delete;
    Dispatcher& operator=(const Dispatcher&) = delete;

    // The dispatcher of the calling thread, or none.
    static Dispatcher* current();

    const std::shared_ptr<Mailbox>& mailbox() const { return m_mailbox; }

    // Serves waiting sends, delivers posted messages and due timers. Owner thread only.
    // Returns whether anything was handled.
    bool processPending();
    // Serves waiting synchronous sends only, as every waiting thread must.
    bool serveSends();
    std::optional<Clock::time_point> nextTimerDeadline() const;

protected:
    Dispatcher();
    // Concrete loops call this first in their destructor, so that no thread can call wake()
    // on a half-destroyed object. Answers every waiting send with 0.
    void shutdown();
    // Makes the owning thread call processPending() soon. Called from any thread, possibly
    // with locks held: it must only signal, never call back.
    virtual void wake() = 0;

private:
    std::shared_ptr<Mailbox> m_mailbox;
    Dispatcher* m_previous = nullptr;
};

} // namespace zeb::platform
