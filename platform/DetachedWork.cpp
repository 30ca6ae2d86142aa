#include "platform/DetachedWork.h"

#include "platform/WorkerThread.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace zeb::platform {

namespace {

struct Count
{
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t tokens = 0;
};

// Never destroyed: tokens may be released while static objects are being destroyed.
Count& count()
{
    static auto* instance = new Count;
    return *instance;
}

} // namespace

DetachedWork::Token::Token()
{
    const std::lock_guard lock(count().mutex);
    ++count().tokens;
}

DetachedWork::Token::Token(Token&& other) noexcept
    : m_held(other.m_held)
{
    other.m_held = false;
}

DetachedWork::Token::~Token()
{
    if (!m_held)
        return;
    Count& shared = count();
    const std::lock_guard lock(shared.mutex);
    --shared.tokens;
    shared.changed.notify_all();
}

std::size_t DetachedWork::pending()
{
    const std::lock_guard lock(count().mutex);
    return count().tokens;
}

int DetachedWork::settleBeforeExit(int code, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    Count& shared = count();
    std::unique_lock lock(shared.mutex);
    // Handed-off workers are not signalled here, hence the short slices.
    for (;;) {
        if (shared.tokens == 0 && WorkerThread::finishing() == 0)
            return code;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            break;
        shared.changed.wait_until(lock, std::min(deadline, now + std::chrono::milliseconds(10)));
    }
    lock.unlock();
    std::fflush(nullptr);
    std::_Exit(code);
}

} // namespace zeb::platform
