#pragma once

#include "platform/HeadlessDispatcher.h"
#include "platform/MessageTarget.h"

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zeb::testsupport {

// A window for tests: a message target on a thread of its own, running that thread's loop. It
// keeps every message it is sent; `inspect` runs first, on the window thread, while the
// message's arguments are still valid, and returns the text to keep with it.
class WindowThread
{
public:
    struct Message
    {
        platform::MessageId id;
        platform::WParam wParam;
        platform::LParam lParam;
        std::string text;
        std::thread::id thread;
    };
    using Inspect = std::function<std::string(platform::MessageId, platform::WParam, platform::LParam)>;

    explicit WindowThread(Inspect inspect = {});
    ~WindowThread();
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;

    platform::Handle handle() const { return m_handle; }
    std::thread::id id() const { return m_id; }
    std::vector<Message> messages() const;
    std::vector<Message> messages(platform::MessageId id) const;
    std::size_t count(platform::MessageId id) const { return messages(id).size(); }

private:
    class Target;

    void take(platform::MessageId id, platform::WParam wParam, platform::LParam lParam);

    Inspect m_inspect;
    std::thread m_thread;
    platform::HeadlessDispatcher* m_dispatcher = nullptr;
    platform::Handle m_handle = platform::kNoHandle;
    std::thread::id m_id;
    mutable std::mutex m_mutex;
    std::vector<Message> m_messages;
};

} // namespace zeb::testsupport
