// The stream behind one script Stream object: one it owns (made by "new:", closed and destroyed
// with the object or with the run) or one it borrows (found by "at:", never closed here), and the
// subscribers its one stream callback hands the stream's events to.
#pragma once

#include "script/vm/Value.h"
#include "stream/StreamHandle.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace zeb::stream {
class IOSTStream;
}

namespace zeb::script::vm {

class OutputSink;

class ScriptStream
{
public:
    struct Subscription
    {
        Value subscriber;
        // Where the handler's prints go: the output of the thread that subscribed.
        OutputSink* output = nullptr;
        bool active = true;
    };
    using Subscriptions = std::vector<std::shared_ptr<Subscription>>;

    explicit ScriptStream(std::unique_ptr<stream::IOSTStream> owned);
    explicit ScriptStream(const stream::IOSTStream& borrowed);
    ~ScriptStream();
    ScriptStream(const ScriptStream&) = delete;
    ScriptStream& operator=(const ScriptStream&) = delete;

    bool owns() const { return m_owns; }
    // An owned stream, shared with the callers using it, so that "delete" from inside one of
    // its own notifications leaves it to the last of them; none once deleted or when borrowed.
    // With the script lock held.
    std::shared_ptr<stream::IOSTStream> owned() const { return m_owned; }
    // With the script lock held: the owned stream, which the caller closes and lets go
    // without the lock.
    std::shared_ptr<stream::IOSTStream> takeOwned() { return std::move(m_owned); }
    // A borrowed stream, pinned while the caller uses it; empty once its owner destroyed it.
    stream::StreamHandle::Pin pin() const { return m_handle.pin(); }
    // What the stream's callback is subscribed with: never the same for two script streams.
    void* token() const { return reinterpret_cast<void*>(m_token); }

    // With the script lock held.
    const Value& object() const { return m_object; }
    void setObject(const Value& object) { m_object = object; }
    void subscribe(const Value& subscriber, OutputSink& output);
    void unsubscribe(const Value& subscriber);
    // The active subscriptions now; each may be made inactive while an event goes round.
    Subscriptions subscribers() const { return m_subscriptions; }
    void dropSubscriptions();
    // True the first time only: the caller then subscribes the callback to the stream.
    bool claimCallback();
    bool hasCallback() const { return m_callbackOn; }

    // Counts the events handed to subscribers, for a script that waits for the next one.
    void noteDelivered();
    // Waits until more than `seen` events were handed on, the time is up or `cancelled` says
    // so (asked every slice); answers the count then. Without the script lock.
    std::uint64_t waitForDelivery(std::uint64_t seen, std::chrono::steady_clock::duration limit,
                                  const std::function<bool()>& cancelled);
    // With the script lock held: the count the object's last wait saw.
    std::uint64_t& seen() { return m_seen; }

private:
    std::shared_ptr<stream::IOSTStream> m_owned;
    const bool m_owns;
    const stream::StreamHandle m_handle;
    const std::uintptr_t m_token;
    Value m_object;
    Subscriptions m_subscriptions;
    bool m_callbackOn = false;
    std::uint64_t m_seen = 0;

    std::mutex m_deliveryMutex;
    std::condition_variable m_delivered;
    std::uint64_t m_deliveries = 0; // guarded by m_deliveryMutex
};

} // namespace zeb::script::vm
