#include "platform/HeadlessDispatcher.h"

#include "platform/Mailbox.h"
#include "platform/ThreadWaiter.h"

#include <algorithm>

namespace zeb::platform {

namespace {

// Conditions of runUntil that nobody signals are polled this often.
constexpr auto kPollSlice = std::chrono::milliseconds(5);

} // namespace

HeadlessDispatcher::HeadlessDispatcher()
    : m_waiter(ThreadWaiter::current())
{
}

HeadlessDispatcher::~HeadlessDispatcher()
{
    shutdown();
}

void HeadlessDispatcher::wake()
{
    // The mailbox has already bumped this thread's waiter, which is what the loop sleeps on.
}

void HeadlessDispatcher::run()
{
    for (;;) {
        const std::uint64_t seen = m_waiter.sequence();
        processPending();
        if (m_quit.exchange(false))
            return;
        const auto deadline = nextTimerDeadline().value_or(Clock::time_point::max());
        m_waiter.waitChanged(seen, deadline);
    }
}

bool HeadlessDispatcher::runUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto end = Clock::now() + timeout;
    for (;;) {
        const std::uint64_t seen = m_waiter.sequence();
        processPending();
        if (condition())
            return true;
        const auto now = Clock::now();
        if (now >= end)
            return false;
        const auto deadline = std::min({end, now + kPollSlice, nextTimerDeadline().value_or(end)});
        m_waiter.waitChanged(seen, deadline);
    }
}

void HeadlessDispatcher::quit()
{
    // The loop may return, and its thread end, as soon as the flag is set: wake it through
    // the mailbox, which refuses once the dispatcher is gone, never through the thread's
    // waiter directly.
    const std::shared_ptr<Mailbox> box = mailbox();
    m_quit.store(true);
    box->wake();
}

} // namespace zeb::platform
