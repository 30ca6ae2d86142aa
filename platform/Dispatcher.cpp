#include "platform/Dispatcher.h"

#include "platform/Mailbox.h"
#include "platform/TargetTable.h"

namespace zeb::platform {

namespace {

thread_local Dispatcher* t_current = nullptr;

} // namespace

Dispatcher::Dispatcher()
    : m_mailbox(std::make_shared<Mailbox>(std::this_thread::get_id(), ThreadWaiter::current(), [this] { wake(); }))
    , m_previous(t_current)
{
    t_current = this;
}

Dispatcher::~Dispatcher()
{
    shutdown();
    if (t_current == this)
        t_current = m_previous;
}

void Dispatcher::shutdown()
{
    // Close first so that no send can be queued any more, then forget the targets: their
    // handles now name nothing even if the objects live on.
    m_mailbox->close();
    TargetTable::instance().removeAllOf(m_mailbox.get());
}

Dispatcher* Dispatcher::current()
{
    return t_current;
}

bool Dispatcher::processPending()
{
    bool handled = m_mailbox->serveSends();
    handled |= m_mailbox->deliverPosts();
    handled |= m_mailbox->fireDueTimers();
    return handled;
}

bool Dispatcher::serveSends()
{
    return m_mailbox->serveSends();
}

std::optional<Dispatcher::Clock::time_point> Dispatcher::nextTimerDeadline() const
{
    return m_mailbox->nextTimerDeadline();
}

} // namespace zeb::platform
