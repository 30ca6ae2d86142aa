#pragma once

#include "platform/MessageTarget.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zeb::testsupport {

// A window for tests: a message target on a thread of its own, running that thread's loop. It
// keeps every message it is sent; `inspect` runs first, on the window thread, while the
// message's arguments are still valid, and returns the text to keep with it. Code can be run
// on the thread, and objects made there that live as long as it does.
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
    // Makes the thread's dispatcher, calls `started`, then serves until `quit` holds. The
    // default runs a headless dispatcher.
    using Loop = std::function<void(const std::function<void()>& started, const std::function<bool()>& quit)>;

    explicit WindowThread(Inspect inspect = {}, Loop loop = {});
    ~WindowThread() { stop(); }
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;

    platform::Handle handle() const { return m_handle; }
    std::thread::id id() const { return m_id; }
    std::vector<Message> messages() const;
    std::vector<Message> messages(platform::MessageId id) const;
    std::size_t count(platform::MessageId id) const { return messages(id).size(); }

    // Runs `task` on the window thread and waits for it.
    void call(std::function<void()> task);
    // Makes an object on the window thread that lives until the thread ends.
    template <typename T, typename... Args>
    T* make(Args... args)
    {
        T* made = nullptr;
        call([&] {
            auto object = std::make_shared<T>(args...);
            made = object.get();
            m_objects.push_back(std::move(object));
        });
        return made;
    }
    // Ends the loop and the thread; messages sent afterwards find no window.
    void stop();

private:
    class Target;

    void take(platform::MessageId id, platform::WParam wParam, platform::LParam lParam);

    Inspect m_inspect;
    std::thread m_thread;
    std::atomic<bool> m_quit{false};
    platform::Handle m_handle = platform::kNoHandle;
    std::thread::id m_id;
    mutable std::mutex m_mutex;
    std::vector<Message> m_messages;
    std::vector<std::shared_ptr<void>> m_objects; // touched on the window thread only
    std::function<void()> m_wake = [] {};
};

} // namespace zeb::testsupport
