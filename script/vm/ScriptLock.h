// The one lock of a machine's script world: heap, globals, method tables and lookup caches are
// touched only while it is held. A running script thread holds it and lets it go at every
// blocking point (see BlockingSection); threads that enter from outside (alarms, stream
// callbacks) take it before they send.
//
// Threads get it in the order they asked (a ticket lock): a thread that lets it go and takes it
// back at once, as the interpreter does at its safepoints, then lets every waiting thread in
// first instead of winning the race again.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace zeb::script::vm {

class ScriptLock
{
public:
    void lock();
    void unlock();
    // True while another thread waits for the lock (a hint, read without synchronisation).
    bool contended() const { return m_waiting.load(std::memory_order_relaxed) != 0; }
    // Held: lets the threads waiting now run first, then takes the lock back.
    void yield()
    {
        if (!contended())
            return;
        unlock();
        lock();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_turn;
    std::uint64_t m_next = 0; // the ticket the next taker draws
    std::uint64_t m_serving = 0; // the ticket that holds the lock or may take it now
    std::atomic<std::uint32_t> m_waiting{0};
};

} // namespace zeb::script::vm
