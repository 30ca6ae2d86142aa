#include "platform/MessageTarget.h"

#include "platform/Dispatcher.h"
#include "platform/TargetTable.h"

#include <stdexcept>

namespace zeb::platform {

namespace {

Dispatcher& requireCurrent()
{
    Dispatcher* dispatcher = Dispatcher::current();
    if (!dispatcher)
        throw std::logic_error("a message target needs a dispatcher on its thread");
    return *dispatcher;
}

} // namespace

MessageTarget::MessageTarget()
    : MessageTarget(requireCurrent())
{
}

MessageTarget::MessageTarget(Dispatcher& dispatcher)
    : m_handle(TargetTable::instance().add(this, dispatcher.mailbox()))
{
}

MessageTarget::~MessageTarget()
{
    // Timers of a removed handle find no target and are dropped at their next expiry.
    TargetTable::instance().remove(m_handle);
}

LResult MessageTarget::onMessage(MessageId, WParam, LParam)
{
    return 0;
}

void MessageTarget::onTimer(TimerId)
{
}

} // namespace zeb::platform
