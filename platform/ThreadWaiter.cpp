#include "platform/ThreadWaiter.h"

#include <thread>

namespace zeb::platform {

namespace {

// Long enough to cover a short handler on the other core, short enough to be noise when the
// answer takes longer and the thread sleeps after all.
constexpr auto kSpinTime = std::chrono::microseconds(30);

inline void cpuRelax()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#else
    std::this_thread::yield();
#endif
}

} // namespace

ThreadWaiter& ThreadWaiter::current()
{
    thread_local ThreadWaiter waiter;
    return waiter;
}

void ThreadWaiter::notify()
{
    notifyAfter([] {});
}

bool ThreadWaiter::waitChanged(std::uint64_t seen, Clock::time_point deadline, bool spin)
{
    if (spin) {
        const auto spinEnd = std::min(deadline, Clock::now() + kSpinTime);
        do {
            for (int i = 0; i < 64; ++i) {
                if (sequence() != seen) {
                    settle();
                    return true;
                }
                cpuRelax();
            }
        } while (Clock::now() < spinEnd);
    }
    std::unique_lock lock(m_mutex);
    return m_condition.wait_until(lock, deadline, [&] { return sequence() != seen; });
}

} // namespace zeb::platform
