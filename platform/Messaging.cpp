#include "platform/Messaging.h"

#include "platform/Dispatcher.h"
#include "platform/Mailbox.h"
#include "platform/MessageTarget.h"
#include "platform/SendChain.h"
#include "platform/TargetTable.h"

namespace zeb::platform {

namespace {

// Waits for the answer to `request`, serving sends to this thread meanwhile. No time limit:
// a synchronous send returns when the handler has run or its thread has shut down its loop.
void awaitAnswer(SendRequest& request, ThreadWaiter& waiter)
{
    Dispatcher* own = Dispatcher::current();
    for (;;) {
        const std::uint64_t seen = waiter.sequence();
        if (own)
            own->serveSends();
        if (request.done.load(std::memory_order_acquire)) {
            waiter.settle();
            return;
        }
        waiter.waitChanged(seen, ThreadWaiter::Clock::time_point::max(), true);
    }
}

} // namespace

LResult send(Handle target, MessageId message, WParam wParam, LParam lParam)
{
    const std::shared_ptr<Mailbox> mailbox = TargetTable::instance().mailboxOf(target);
    if (!mailbox)
        return 0;
    if (mailbox->isOwnerThread()) {
        MessageTarget* object = TargetTable::instance().targetOn(target, mailbox.get());
        return object ? object->onMessage(message, wParam, lParam) : 0;
    }
    ThreadWaiter& waiter = ThreadWaiter::current();
    SendRequest request;
    request.target = target;
    request.message = message;
    request.wParam = wParam;
    request.lParam = lParam;
    request.sender = &waiter;
    request.senderThread = std::this_thread::get_id();
    request.senderChain = SendChain::current();
    if (!mailbox->enqueueSend(request))
        return 0;
    awaitAnswer(request, waiter);
    return request.result;
}

bool post(Handle target, MessageId message, WParam wParam, LParam lParam)
{
    const std::shared_ptr<Mailbox> mailbox = TargetTable::instance().mailboxOf(target);
    return mailbox && mailbox->enqueuePost(target, message, wParam, lParam);
}

bool startTimer(Handle target, TimerId id, std::chrono::milliseconds period)
{
    const std::shared_ptr<Mailbox> mailbox = TargetTable::instance().mailboxOf(target);
    return mailbox && mailbox->setTimer(target, id, period);
}

bool stopTimer(Handle target, TimerId id)
{
    const std::shared_ptr<Mailbox> mailbox = TargetTable::instance().mailboxOf(target);
    return mailbox && mailbox->killTimer(target, id);
}

bool isAlive(Handle target)
{
    return TargetTable::instance().mailboxOf(target) != nullptr;
}

} // namespace zeb::platform
