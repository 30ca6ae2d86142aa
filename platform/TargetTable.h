#pragma once

#include "platform/Types.h"

#include <memory>
#include <mutex>
#include <unordered_map>

namespace zeb::platform {

class Mailbox;
class MessageTarget;

// Process-wide map from handles to live targets and the mailbox of the thread each lives on.
class TargetTable
{
public:
    static TargetTable& instance();

    Handle add(MessageTarget* target, std::shared_ptr<Mailbox> mailbox);
    void remove(Handle handle);
    void removeAllOf(const Mailbox* mailbox);

    std::shared_ptr<Mailbox> mailboxOf(Handle handle);
    // The target, if it is alive and lives on `mailbox` (so the caller, on that mailbox's
    // thread, may call it).
    MessageTarget* targetOn(Handle handle, const Mailbox* mailbox);

private:
    struct Entry
    {
        MessageTarget* target;
        std::shared_ptr<Mailbox> mailbox;
    };

    std::mutex m_mutex;
    std::unordered_map<Handle, Entry> m_entries;
    Handle m_next = 1;
};

} // namespace zeb::platform
