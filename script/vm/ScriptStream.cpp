#include "script/vm/ScriptStream.h"

#include "stream/IOSTStream.h"

#include <algorithm>
#include <atomic>

namespace zeb::script::vm {

namespace {

// Tokens start above zero and are never reused, so a callback node that outlives its script
// stream names nothing.
std::uintptr_t nextToken()
{
    static std::atomic<std::uintptr_t> last{0};
    return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

constexpr auto kWaitSlice = std::chrono::milliseconds(50);

} // namespace

ScriptStream::ScriptStream(std::unique_ptr<stream::IOSTStream> owned)
    : m_owned(std::move(owned))
    , m_owns(true)
    , m_handle(*m_owned)
    , m_token(nextToken())
{
}

ScriptStream::ScriptStream(const stream::IOSTStream& borrowed)
    : m_owns(false)
    , m_handle(borrowed)
    , m_token(nextToken())
{
}

ScriptStream::~ScriptStream() = default;

void ScriptStream::subscribe(const Value& subscriber, OutputSink& output)
{
    auto subscription = std::make_shared<Subscription>();
    subscription->subscriber = subscriber;
    subscription->output = &output;
    m_subscriptions.push_back(std::move(subscription));
}

void ScriptStream::unsubscribe(const Value& subscriber)
{
    std::erase_if(m_subscriptions, [&](const std::shared_ptr<Subscription>& subscription) {
        if (!subscription->subscriber.identical(subscriber))
            return false;
        subscription->active = false; // an event going round now skips it
        return true;
    });
}

void ScriptStream::dropSubscriptions()
{
    for (const std::shared_ptr<Subscription>& subscription : m_subscriptions)
        subscription->active = false;
    m_subscriptions.clear();
}

bool ScriptStream::claimCallback()
{
    if (m_callbackOn)
        return false;
    m_callbackOn = true;
    return true;
}

void ScriptStream::noteDelivered()
{
    {
        const std::lock_guard hold(m_deliveryMutex);
        ++m_deliveries;
    }
    m_delivered.notify_all();
}

std::uint64_t ScriptStream::waitForDelivery(std::uint64_t seen, std::chrono::steady_clock::duration limit,
                                            const std::function<bool()>& cancelled)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::unique_lock hold(m_deliveryMutex);
    while (m_deliveries == seen && !cancelled()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            break;
        m_delivered.wait_for(hold, std::min<std::chrono::steady_clock::duration>(deadline - now, kWaitSlice));
    }
    return m_deliveries;
}

} // namespace zeb::script::vm
