#include "platform/ServingWait.h"

#include "platform/Dispatcher.h"
#include "platform/ThreadWaiter.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace zeb::platform {

namespace {

// Conditions that nobody signals are polled this often.
constexpr auto kPollSlice = std::chrono::milliseconds(5);

struct Waiting
{
    std::mutex mutex;
    std::vector<ThreadWaiter*> waiters;
};

Waiting& waiting()
{
    static Waiting instance;
    return instance;
}

// Registers the thread's waiter for the duration of one wait.
class Registration
{
public:
    explicit Registration(ThreadWaiter& waiter)
        : m_waiter(waiter)
    {
        const std::lock_guard lock(waiting().mutex);
        waiting().waiters.push_back(&m_waiter);
    }
    ~Registration()
    {
        const std::lock_guard lock(waiting().mutex);
        auto& list = waiting().waiters;
        list.erase(std::find(list.begin(), list.end(), &m_waiter));
    }
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;

private:
    ThreadWaiter& m_waiter;
};

} // namespace

bool ServingWait::until(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    using Clock = ThreadWaiter::Clock;
    const auto deadline = Clock::now() + timeout;
    ThreadWaiter& waiter = ThreadWaiter::current();
    const Registration registration(waiter);
    for (;;) {
        const std::uint64_t seen = waiter.sequence();
        if (Dispatcher* own = Dispatcher::current())
            own->serveSends();
        if (condition())
            return true;
        const auto now = Clock::now();
        if (now >= deadline)
            return false;
        waiter.waitChanged(seen, std::min(deadline, now + kPollSlice));
    }
}

void ServingWait::sleep(std::chrono::milliseconds duration)
{
    until([] { return false; }, duration);
}

void ServingWait::wakeAll()
{
    const std::lock_guard lock(waiting().mutex);
    for (ThreadWaiter* waiter : waiting().waiters)
        waiter->notify();
}

} // namespace zeb::platform
