#pragma once

#include "platform/Types.h"

namespace zeb::platform {

class Dispatcher;

// Anything that receives messages: a window, a document, a helper object of a tool. It lives
// on the thread whose dispatcher it was created with, and every message and timer reaches it
// there. Destroy it on that thread; from then on its handle names nothing.
class MessageTarget
{
public:
    // Attaches to the dispatcher of the calling thread, which must have one.
    MessageTarget();
    explicit MessageTarget(Dispatcher& dispatcher);
    virtual ~MessageTarget();

    MessageTarget(const MessageTarget&) = delete;
    MessageTarget& operator=(const MessageTarget&) = delete;

    Handle handle() const { return m_handle; }

    // Called by the dispatcher on the target's thread.
    virtual LResult onMessage(MessageId message, WParam wParam, LParam lParam);
    virtual void onTimer(TimerId id);

private:
    Handle m_handle = kNoHandle;
};

} // namespace zeb::platform
