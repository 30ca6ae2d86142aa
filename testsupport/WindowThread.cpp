#include "testsupport/WindowThread.h"

#include "platform/HeadlessDispatcher.h"
#include "platform/MessageRegistry.h"
#include "platform/Messaging.h"

#include <algorithm>
#include <chrono>
#include <future>
#include <iterator>

namespace zeb::testsupport {

namespace {

platform::MessageId taskMessage()
{
    static const platform::MessageId id = platform::MessageRegistry::registerMessage("TEST_WINDOW_TASK");
    return id;
}

void headlessLoop(const std::function<void()>& started, const std::function<bool()>& quit)
{
    platform::HeadlessDispatcher dispatcher;
    started();
    // stop() wakes the loop with a message; the long limit only bounds a lost wake-up.
    dispatcher.runUntil(quit, std::chrono::minutes(10));
}

} // namespace

class WindowThread::Target : public platform::MessageTarget
{
public:
    explicit Target(WindowThread& owner)
        : m_owner(owner)
    {
    }
    platform::LResult onMessage(platform::MessageId id, platform::WParam wParam, platform::LParam lParam) override
    {
        if (id == taskMessage()) {
            (*reinterpret_cast<std::function<void()>*>(wParam))();
            return 1;
        }
        m_owner.take(id, wParam, lParam);
        return 1;
    }

private:
    WindowThread& m_owner;
};

WindowThread::WindowThread(Inspect inspect, Loop loop)
    : m_inspect(std::move(inspect))
{
    if (!loop)
        loop = headlessLoop;
    std::promise<void> ready;
    auto started = ready.get_future();
    m_thread = std::thread([this, &ready, loop] {
        std::unique_ptr<Target> target;
        loop(
            [&] {
                target = std::make_unique<Target>(*this);
                m_handle = target->handle();
                m_id = std::this_thread::get_id();
                ready.set_value();
            },
            [this] { return m_quit.load(); });
        m_objects.clear();
    });
    started.wait();
}

void WindowThread::stop()
{
    if (!m_thread.joinable())
        return;
    m_quit = true;
    platform::post(m_handle, taskMessage(), reinterpret_cast<platform::WParam>(&m_wake));
    m_thread.join();
}

void WindowThread::call(std::function<void()> task)
{
    platform::send(m_handle, taskMessage(), reinterpret_cast<platform::WParam>(&task));
}

std::vector<WindowThread::Message> WindowThread::messages() const
{
    const std::lock_guard lock(m_mutex);
    return m_messages;
}

std::vector<WindowThread::Message> WindowThread::messages(platform::MessageId id) const
{
    const std::lock_guard lock(m_mutex);
    std::vector<Message> found;
    std::copy_if(m_messages.begin(), m_messages.end(), std::back_inserter(found),
                 [&](const Message& message) { return message.id == id; });
    return found;
}

void WindowThread::take(platform::MessageId id, platform::WParam wParam, platform::LParam lParam)
{
    std::string text = m_inspect ? m_inspect(id, wParam, lParam) : std::string();
    const std::lock_guard lock(m_mutex);
    m_messages.push_back({id, wParam, lParam, std::move(text), std::this_thread::get_id()});
}

} // namespace zeb::testsupport
