#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace zeb::platform {

// The one place a thread sleeps while it waits for messages or for a synchronous send to be
// answered. Anything that should wake the thread bumps its sequence number; the thread
// compares the number it saw before checking its conditions, so no wake-up is ever lost.
class ThreadWaiter
{
public:
    using Clock = std::chrono::steady_clock;

    // The waiter of the calling thread.
    static ThreadWaiter& current();

    std::uint64_t sequence() const { return m_sequence.load(std::memory_order_acquire); }

    // Wakes the thread. Safe from any thread, and from inside the mutex of anything the
    // waiting thread might hold, because the waiter's own mutex is the innermost lock.
    void notify();

    // Runs `update` under the waiter's lock and then wakes the thread. The waiting thread
    // may return and release what `update` touched as soon as the lock is dropped, so the
    // caller must not touch it afterwards.
    template <typename Update>
    void notifyAfter(Update&& update)
    {
        const std::lock_guard lock(m_mutex);
        update();
        m_sequence.fetch_add(1, std::memory_order_acq_rel);
        m_condition.notify_all();
    }

    // Returns once no notifier is inside notifyAfter() any more. A thread that saw the
    // effect of an update without sleeping calls this before it may end (which destroys its
    // waiter) or release what the update touched.
    void settle() { const std::lock_guard lock(m_mutex); }

    // Sleeps until the sequence number differs from `seen` or the deadline passes. With
    // `spin`, first polls briefly without sleeping: an answer expected within microseconds
    // then costs no scheduler round trip. Returns false on time-out.
    bool waitChanged(std::uint64_t seen, Clock::time_point deadline, bool spin = false);

private:
    std::mutex m_mutex;
    std::condition_variable m_condition;
    std::atomic<std::uint64_t> m_sequence{0};
};

} // namespace zeb::platform
