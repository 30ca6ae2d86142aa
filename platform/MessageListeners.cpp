#include "platform/MessageListeners.h"

#include "platform/Messaging.h"

#include <algorithm>

namespace zeb::platform {

MessageListeners& MessageListeners::instance()
{
    static MessageListeners listeners;
    return listeners;
}

void MessageListeners::listen(Handle target, MessageId message)
{
    const std::lock_guard lock(m_mutex);
    m_entries.push_back({target, message});
}

void MessageListeners::forget(Handle target)
{
    const std::lock_guard lock(m_mutex);
    std::erase_if(m_entries, [&](const Entry& entry) { return entry.target == target; });
}

std::size_t MessageListeners::postToAll(MessageId message, WParam wParam, LParam lParam)
{
    std::vector<Handle> targets;
    {
        const std::lock_guard lock(m_mutex);
        for (const Entry& entry : m_entries) {
            if (entry.message == message)
                targets.push_back(entry.target);
        }
    }
    // Posted without the lock: a listener's thread may listen or forget meanwhile.
    std::vector<Handle> gone;
    for (const Handle target : targets) {
        if (!post(target, message, wParam, lParam))
            gone.push_back(target);
    }
    if (!gone.empty()) {
        const std::lock_guard lock(m_mutex);
        std::erase_if(m_entries,
                      [&](const Entry& entry) { return std::ranges::find(gone, entry.target) != gone.end(); });
    }
    return targets.size() - gone.size();
}

} // namespace zeb::platform
