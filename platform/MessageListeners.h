#pragma once

#include "platform/Types.h"

#include <cstddef>
#include <mutex>
#include <vector>

namespace zeb::platform {

// Process-wide list of the targets that take a registered message from anyone who posts it, without the poster
// knowing them: a script, a tool or another window reaches every window of a kind this way. Posting only, so a
// poster never waits for the listeners' threads.
class MessageListeners
{
public:
    static MessageListeners& instance();

    // Once per target and message: each call adds a delivery.
    void listen(Handle target, MessageId message);
    // Every message the target listened to; call it before the target goes.
    void forget(Handle target);
    // Posts the message to each listener that is still alive (those gone are dropped); answers how many took it.
    std::size_t postToAll(MessageId message, WParam wParam = 0, LParam lParam = 0);

private:
    struct Entry
    {
        Handle target;
        MessageId message;
    };

    std::mutex m_mutex;
    std::vector<Entry> m_entries;
};

} // namespace zeb::platform
