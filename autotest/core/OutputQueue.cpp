#include "autotest/core/OutputQueue.h"

namespace zeb::autotest {

OutputQueue::OutputQueue(Wake wake)
    : m_wake(std::move(wake))
{
}

void OutputQueue::write(std::string_view text)
{
    const std::lock_guard lock(m_mutex);
    const bool wasEmpty = m_text.empty();
    if (text.size() >= kMaxPending) {
        m_text.assign(text.substr(text.size() - kMaxPending / 2));
    } else {
        m_text.append(text);
    }
    if (m_text.size() > kMaxPending) {
        // Keep the newest half, starting at a line.
        std::size_t cut = m_text.size() - kMaxPending / 2;
        const std::size_t line = m_text.find('\n', cut);
        if (line != std::string::npos && line + 1 < m_text.size())
            cut = line + 1;
        m_text.erase(0, cut);
    }
    if (wasEmpty && !m_text.empty() && m_wake)
        m_wake();
}

std::string OutputQueue::take()
{
    const std::lock_guard lock(m_mutex);
    std::string text;
    text.swap(m_text);
    return text;
}

void OutputQueue::discard()
{
    const std::lock_guard lock(m_mutex);
    m_text.clear();
}

std::size_t OutputQueue::pending() const
{
    const std::lock_guard lock(m_mutex);
    return m_text.size();
}

} // namespace zeb::autotest
