#pragma once

#include "platform/HeadlessDispatcher.h"
#include "platform/MessageTarget.h"
#include "platform/Messaging.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <thread>

namespace zeb::stream::testing {

// A thread stuck in a deadlock cannot be stopped, so a wait that runs out ends the program
// at once, saying what it waited for, instead of hanging in the clean-up.
template <typename Condition>
void mustHappen(Condition&& condition, const char* what, std::chrono::seconds limit = std::chrono::seconds(30))
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            std::fprintf(stderr, "FAILED: gave up waiting for %s\n", what);
            std::fflush(stderr);
            std::_Exit(1);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// A window on a thread of its own: a message target whose handler the test gives, and a way
// to run work on that thread as a window would (a remote call from a menu command, say).
class HandlerWindow
{
public:
    using Handler = std::function<platform::LResult(platform::MessageId, platform::WParam, platform::LParam)>;
    static constexpr platform::MessageId kRunWork = 0xFFFFFF01u;

    explicit HandlerWindow(Handler handler)
        : m_handler(std::move(handler))
    {
        std::promise<platform::Handle> ready;
        auto started = ready.get_future();
        m_thread = std::thread([this, &ready] {
            platform::HeadlessDispatcher dispatcher;
            Target target(*this);
            m_dispatcher = &dispatcher;
            ready.set_value(target.handle());
            dispatcher.run();
        });
        m_handle = started.get();
    }
    ~HandlerWindow()
    {
        m_dispatcher->quit();
        m_thread.join();
    }
    HandlerWindow(const HandlerWindow&) = delete;
    HandlerWindow& operator=(const HandlerWindow&) = delete;

    platform::Handle handle() const { return m_handle; }
    // Runs `work` on the window's thread and returns once it has run.
    void run(std::function<void()> work, const char* what)
    {
        std::atomic<bool> done{false};
        std::function<void()> job = [&] {
            work();
            done = true;
        };
        platform::post(m_handle, kRunWork, 0, reinterpret_cast<platform::LParam>(&job));
        mustHappen([&] { return done.load(); }, what);
    }

private:
    class Target : public platform::MessageTarget
    {
    public:
        explicit Target(HandlerWindow& owner)
            : m_owner(owner)
        {
        }
        platform::LResult onMessage(platform::MessageId id, platform::WParam wParam, platform::LParam lParam) override
        {
            if (id == kRunWork) {
                (*reinterpret_cast<std::function<void()>*>(lParam))();
                return 0;
            }
            return m_owner.m_handler(id, wParam, lParam);
        }

    private:
        HandlerWindow& m_owner;
    };

    Handler m_handler;
    std::thread m_thread;
    platform::HeadlessDispatcher* m_dispatcher = nullptr;
    platform::Handle m_handle = platform::kNoHandle;
};

} // namespace zeb::stream::testing
