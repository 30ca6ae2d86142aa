#include "autotest/core/WindowHost.h"

#include <chrono>

namespace zeb::autotest {

WindowHost::WindowHost(std::function<void()> wake, std::function<void(std::int64_t window)> threadDone,
                       std::function<void()> buttonsWaiting)
    : m_wake(std::move(wake))
    , m_threadDone(std::move(threadDone))
    , m_buttonsWaiting(std::move(buttonsWaiting))
{
}

WindowHost::~WindowHost()
{
    cancel();
    std::unique_lock lock(m_mutex);
    m_answered.wait_for(lock, std::chrono::seconds(1), [this] { return m_inside == 0; });
}

void WindowHost::changeButton(std::uint32_t id, ButtonChange change)
{
    const std::lock_guard lock(m_mutex);
    if (m_buttons.size() >= kMaxButtonRequests && change != ButtonChange::Destroy)
        return;
    const bool wasEmpty = m_buttons.empty();
    m_buttons.push_back(ButtonRequest{id, change});
    if (wasEmpty && m_buttonsWaiting)
        m_buttonsWaiting();
}

std::deque<WindowHost::ButtonRequest> WindowHost::takeButtonRequests()
{
    const std::lock_guard lock(m_mutex);
    std::deque<ButtonRequest> taken;
    taken.swap(m_buttons);
    return taken;
}

void WindowHost::threadDone(std::int64_t window, const script::vm::Value&)
{
    if (m_threadDone)
        m_threadDone(window);
}

void WindowHost::alert(std::string_view text)
{
    (void)ask(Kind::Alert, text);
}

void WindowHost::notify(std::string_view text)
{
    (void)ask(Kind::Notify, text);
}

bool WindowHost::question(std::string_view text)
{
    return ask(Kind::Question, text);
}

bool WindowHost::ask(Kind kind, std::string_view text)
{
    std::unique_lock lock(m_mutex);
    if (m_cancelled)
        return false;
    ++m_inside;
    const std::uint64_t id = m_nextId++;
    m_waiting.push_back(Request{id, kind, std::string(text)});
    m_open.emplace(id, std::nullopt);
    if (m_wake)
        m_wake();
    m_answered.wait(lock, [&] { return m_open[id].has_value(); });
    const bool yes = m_open[id].value_or(false);
    m_open.erase(id);
    --m_inside;
    m_answered.notify_all();
    return yes;
}

std::optional<WindowHost::Request> WindowHost::next()
{
    const std::lock_guard lock(m_mutex);
    if (m_waiting.empty())
        return std::nullopt;
    Request request = std::move(m_waiting.front());
    m_waiting.pop_front();
    return request;
}

void WindowHost::answer(std::uint64_t id, bool yes)
{
    {
        const std::lock_guard lock(m_mutex);
        const auto found = m_open.find(id);
        if (found == m_open.end() || found->second.has_value())
            return;
        found->second = yes;
    }
    m_answered.notify_all();
}

void WindowHost::cancel()
{
    {
        const std::lock_guard lock(m_mutex);
        m_cancelled = true;
        m_waiting.clear();
        for (auto& [id, answer] : m_open) {
            if (!answer)
                answer = false;
        }
    }
    m_answered.notify_all();
}

void WindowHost::reopen()
{
    const std::lock_guard lock(m_mutex);
    m_cancelled = false;
}

} // namespace zeb::autotest
