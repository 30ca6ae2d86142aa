#include "script/vm/ScriptLock.h"

namespace zeb::script::vm {

void ScriptLock::lock()
{
    std::unique_lock hold(m_mutex);
    const std::uint64_t ticket = m_next++;
    if (ticket == m_serving)
        return;
    m_waiting.fetch_add(1, std::memory_order_relaxed);
    m_turn.wait(hold, [this, ticket] { return m_serving == ticket; });
    m_waiting.fetch_sub(1, std::memory_order_relaxed);
}

void ScriptLock::unlock()
{
    bool waiters = false;
    {
        const std::lock_guard hold(m_mutex);
        ++m_serving;
        waiters = m_waiting.load(std::memory_order_relaxed) != 0;
    }
    // Every waiter wakes and checks its ticket; there are never more than a few.
    if (waiters)
        m_turn.notify_all();
}

} // namespace zeb::script::vm
