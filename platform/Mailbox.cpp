#include "platform/Mailbox.h"

#include "platform/MessageTarget.h"
#include "platform/TargetTable.h"

#include <algorithm>

namespace zeb::platform {

void SendRequest::complete(LResult answer)
{
    sender->notifyAfter([&] {
        result = answer;
        done.store(true, std::memory_order_release);
    });
}

Mailbox::Mailbox(std::thread::id owner, ThreadWaiter& ownerWaiter, std::function<void()> wake)
    : m_owner(owner)
    , m_ownerWaiter(ownerWaiter)
    , m_wake(std::move(wake))
{
}

void Mailbox::wakeOwner()
{
    // Both paths: the owner may sleep in a serving wait (ThreadWaiter) or in its event loop.
    m_ownerWaiter.notify();
    m_wake();
}

void Mailbox::wake()
{
    const std::lock_guard lock(m_mutex);
    if (!m_closed)
        wakeOwner();
}

bool Mailbox::enqueueSend(SendRequest& request)
{
    const std::lock_guard lock(m_mutex);
    if (m_closed)
        return false;
    m_sends.push_back(&request);
    wakeOwner();
    return true;
}

bool Mailbox::enqueuePost(Handle target, MessageId message, WParam wParam, LParam lParam)
{
    const std::lock_guard lock(m_mutex);
    if (m_closed)
        return false;
    m_posts.push_back({target, message, wParam, lParam});
    wakeOwner();
    return true;
}

bool Mailbox::setTimer(Handle target, TimerId id, std::chrono::milliseconds period)
{
    period = std::max(period, std::chrono::milliseconds(1));
    const std::lock_guard lock(m_mutex);
    if (m_closed)
        return false;
    const auto due = Clock::now() + period;
    const auto it = std::find_if(m_timers.begin(), m_timers.end(),
                                 [&](const Timer& t) { return t.target == target && t.id == id; });
    if (it != m_timers.end()) {
        it->period = period;
        it->due = due;
    } else {
        m_timers.push_back({target, id, period, due});
    }
    wakeOwner();
    return true;
}

bool Mailbox::killTimer(Handle target, TimerId id)
{
    const std::lock_guard lock(m_mutex);
    return std::erase_if(m_timers, [&](const Timer& t) { return t.target == target && t.id == id; }) > 0;
}

bool Mailbox::serveSends()
{
    bool served = false;
    for (;;) {
        SendRequest* request = nullptr;
        {
            const std::lock_guard lock(m_mutex);
            if (m_sends.empty())
                return served;
            request = m_sends.front();
            m_sends.pop_front();
        }
        served = true;
        MessageTarget* target = TargetTable::instance().targetOn(request->target, this);
        if (!target) {
            request->complete(0);
            continue;
        }
        // The sender must be released even if the handler throws.
        struct Answer
        {
            SendRequest* request;
            LResult value = 0;
            ~Answer() { request->complete(value); }
        } answer{request};
        const SendChain::Serving serving(request->senderThread, request->senderChain);
        answer.value = target->onMessage(request->message, request->wParam, request->lParam);
    }
}

bool Mailbox::deliverPosts()
{
    // Only what is queued now: a handler that posts again is served on the next pass, so a
    // target that keeps posting to itself cannot starve sends and timers.
    std::deque<Posted> batch;
    {
        const std::lock_guard lock(m_mutex);
        batch.swap(m_posts);
    }
    for (const Posted& posted : batch) {
        if (MessageTarget* target = TargetTable::instance().targetOn(posted.target, this))
            target->onMessage(posted.message, posted.wParam, posted.lParam);
    }
    return !batch.empty();
}

bool Mailbox::fireDueTimers()
{
    std::vector<std::pair<Handle, TimerId>> due;
    {
        const std::lock_guard lock(m_mutex);
        const auto now = Clock::now();
        for (Timer& timer : m_timers) {
            if (timer.due > now)
                continue;
            due.emplace_back(timer.target, timer.id);
            // Expiries missed while the thread was busy are not made up: one tick, then the
            // next period starts now.
            timer.due = now + timer.period;
        }
    }
    for (const auto& [handle, id] : due) {
        MessageTarget* target = TargetTable::instance().targetOn(handle, this);
        if (!target) {
            killTimer(handle, id);
            continue;
        }
        target->onTimer(id);
    }
    return !due.empty();
}

std::optional<Mailbox::Clock::time_point> Mailbox::nextTimerDeadline()
{
    const std::lock_guard lock(m_mutex);
    if (m_timers.empty())
        return std::nullopt;
    return std::min_element(m_timers.begin(), m_timers.end(),
                            [](const Timer& a, const Timer& b) { return a.due < b.due; })
        ->due;
}

void Mailbox::close()
{
    std::deque<SendRequest*> pending;
    {
        const std::lock_guard lock(m_mutex);
        m_closed = true;
        pending.swap(m_sends);
        m_posts.clear();
        m_timers.clear();
    }
    for (SendRequest* request : pending)
        request->complete(0);
}

} // namespace zeb::platform
