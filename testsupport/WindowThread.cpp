#include "testsupport/WindowThread.h"

#include <algorithm>
#include <future>
#include <iterator>

namespace zeb::testsupport {

class WindowThread::Target : public platform::MessageTarget
{
public:
    explicit Target(WindowThread& owner)
        : m_owner(owner)
    {
    }
    platform::LResult onMessage(platform::MessageId id, platform::WParam wParam, platform::LParam lParam) override
    {
        m_owner.take(id, wParam, lParam);
        return 1;
    }

private:
    WindowThread& m_owner;
};

WindowThread::WindowThread(Inspect inspect)
    : m_inspect(std::move(inspect))
{
    std::promise<void> ready;
    auto started = ready.get_future();
    m_thread = std::thread([this, &ready] {
        platform::HeadlessDispatcher dispatcher;
        Target target(*this);
        m_dispatcher = &dispatcher;
        m_handle = target.handle();
        m_id = std::this_thread::get_id();
        ready.set_value();
        dispatcher.run();
    });
    started.wait();
}

WindowThread::~WindowThread()
{
    m_dispatcher->quit();
    m_thread.join();
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
