#include "platform/TargetTable.h"

#include "platform/Mailbox.h"

#include <iterator>

namespace zeb::platform {

TargetTable& TargetTable::instance()
{
    static TargetTable table;
    return table;
}

Handle TargetTable::add(MessageTarget* target, std::shared_ptr<Mailbox> mailbox)
{
    const std::lock_guard lock(m_mutex);
    const Handle handle = m_next++;
    m_entries.emplace(handle, Entry{target, std::move(mailbox)});
    return handle;
}

void TargetTable::remove(Handle handle)
{
    std::shared_ptr<Mailbox> released;
    const std::lock_guard lock(m_mutex);
    const auto it = m_entries.find(handle);
    if (it == m_entries.end())
        return;
    released = std::move(it->second.mailbox);
    m_entries.erase(it);
}

void TargetTable::removeAllOf(const Mailbox* mailbox)
{
    const std::lock_guard lock(m_mutex);
    std::erase_if(m_entries, [&](const auto& item) { return item.second.mailbox.get() == mailbox; });
}

std::shared_ptr<Mailbox> TargetTable::mailboxOf(Handle handle)
{
    const std::lock_guard lock(m_mutex);
    const auto it = m_entries.find(handle);
    return it == m_entries.end() ? nullptr : it->second.mailbox;
}

MessageTarget* TargetTable::targetOn(Handle handle, const Mailbox* mailbox)
{
    const std::lock_guard lock(m_mutex);
    const auto it = m_entries.find(handle);
    if (it == m_entries.end() || it->second.mailbox.get() != mailbox)
        return nullptr;
    return it->second.target;
}

} // namespace zeb::platform
