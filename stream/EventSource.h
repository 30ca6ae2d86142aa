#pragma once

#include "platform/Types.h"
#include "stream/StreamCallback.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

namespace zeb::stream {

class IOSTStream;
class StreamEvent;
class StreamListener;

enum class SubscriberState : std::uint8_t {
    Disabled = 0,
    Enabled = 1,
    DisableAtNextEvent = 2, // becomes Disabled at the next event, which it does not receive
};

enum class SubscriberKind : std::uint32_t {
    Window = 0,
    Callback = 1,
    Listener = 3,
};

// Something that hands events to subscribers: windows (platform message targets, reached by a
// synchronous send that runs on the window's thread), callback functions and listener
// objects. Every delivery is synchronous and runs on the thread that produced the event.
//
// Subscribers live in a list, newest first. New nodes are published at the head without a lock,
// so a handler may subscribe (on any thread) while a notification walks the list; the walk in
// progress does not reach the new node. Disabling keeps a node; unsubscribing unlinks it at once
// and frees it once no thread walks the list any more, so a window that comes and goes leaves
// nothing behind, even when it goes from inside a notification.
class EventSource
{
public:
    EventSource() = default;
    virtual ~EventSource();

    EventSource(const EventSource&) = delete;
    EventSource& operator=(const EventSource&) = delete;

    void subscribeWindow(platform::Handle window, SubscriberState state = SubscriberState::Enabled);
    void subscribeCallback(StreamCallback callback, void* context, SubscriberState state = SubscriberState::Enabled);
    void subscribeListener(StreamListener* listener, SubscriberState state = SubscriberState::Enabled);

    // Takes every node of that window (or callback with that context) off the list.
    void unsubscribeWindow(platform::Handle window);
    void unsubscribeCallback(StreamCallback callback, void* context);

    // Set the state of every node of that subscriber.
    virtual void setListenerState(StreamListener* listener, SubscriberState state);
    virtual void setWindowState(platform::Handle window, SubscriberState state);
    void setCallbackState(StreamCallback callback, void* context, SubscriberState state);
    virtual void setAllStates(SubscriberState state);

    // The state of the newest node of that subscriber, or none if it never subscribed.
    std::optional<SubscriberState> windowState(platform::Handle window) const;
    std::optional<SubscriberState> listenerState(StreamListener* listener) const;
    std::optional<SubscriberState> callbackState(StreamCallback callback, void* context) const;
    std::size_t subscriberCount() const;

    // Received and sent messages reach subscribers only when their status is Complete.
    virtual void notifyReceive(const StreamEvent& event);
    virtual void notifySend(const StreamEvent& event);
    virtual void notifyCommand(platform::WParam wParam, platform::LParam lParam);
    virtual void notifyBreaker(std::intptr_t argument);
    virtual void notifyTrigger(std::intptr_t argument);
    virtual void notifyTimer(std::intptr_t argument);
    virtual void notifyReset();

    virtual int identifier() const { return 0; }

protected:
    struct Subscriber
    {
        std::atomic<std::uint8_t> state{0};
        SubscriberKind kind = SubscriberKind::Window;
        platform::Handle window = platform::kNoHandle;
        StreamCallback callback = nullptr;
        void* context = nullptr;
        StreamListener* listener = nullptr;
        std::atomic<Subscriber*> next{nullptr};
        // Links the unlinked nodes that wait to be freed.
        Subscriber* retiredNext = nullptr;
    };

    enum class Rule {
        // Enabled nodes receive; nodes marked DisableAtNextEvent become Disabled instead.
        ConsumeMarks,
        // Enabled nodes receive; marks stay.
        EnabledOnly,
        // Every node receives once, whatever its state.
        Everyone,
    };

    // A thread at work inside this source (a notification, the receive path) keeps one on
    // its stack. The source's destructor marks every one, so that a thread whose handler
    // destroyed the source (directly, or through a window it was waiting for) leaves without
    // touching the source again. Another thread must not destroy a source it does not wait in.
    class Presence
    {
    public:
        explicit Presence(const EventSource& source);
        ~Presence();
        Presence(const Presence&) = delete;
        Presence& operator=(const Presence&) = delete;
        bool sourceGone() const { return m_gone.load(std::memory_order_acquire); }

    private:
        friend class EventSource;
        const EventSource* m_source;
        const std::thread::id m_thread = std::this_thread::get_id();
        std::atomic<bool> m_gone{false};
        Presence* m_next = nullptr;
        Presence* m_previous = nullptr;
    };

    // The calling thread is at work inside this source further up its stack.
    bool callerInside() const;

    // The stream handed to callback subscribers.
    virtual IOSTStream* callbackStream() { return nullptr; }

    // False when a handler destroyed the source; the walk stops there.
    template <typename Deliver>
    bool forEachSubscriber(Rule rule, Deliver&& deliver)
    {
        const Presence presence(*this);
        for (Subscriber* node = m_head.load(std::memory_order_acquire); node;
             node = node->next.load(std::memory_order_acquire)) {
            if (!admits(rule, *node))
                continue;
            deliver(*node);
            if (presence.sourceGone())
                return false;
        }
        return true;
    }

    // Sends a window message to window nodes and calls callback nodes with `code`.
    void deliverStreamEvent(Rule rule, platform::MessageId message, platform::WParam wParam, platform::LParam lParam,
                            IOSTStream* callbackStream, StreamEventCode code, std::intptr_t argument);

private:
    // Receive and send: complete messages only, to windows, callbacks and listeners.
    void notifyMessage(const StreamEvent& event, platform::MessageId message, StreamEventCode code,
                       void (StreamListener::*handler)(const StreamEvent&));
    // Breaker, trigger and timer: a window message or a listener call with one argument.
    void notifyArgument(platform::MessageId message, std::intptr_t argument,
                        void (StreamListener::*handler)(std::intptr_t));
    static bool admits(Rule rule, Subscriber& node);
    void push(Subscriber* node);
    template <typename Match>
    void setStates(SubscriberState state, Match&& match);
    template <typename Match>
    std::optional<SubscriberState> newestState(Match&& match) const;
    template <typename Match>
    void removeNodes(Match&& match);
    // Frees the unlinked nodes now when no thread walks the list, or when the last one leaves.
    void retire(Subscriber* nodes);
    static void freeNodes(Subscriber* nodes);

    std::atomic<Subscriber*> m_head{nullptr};
    mutable std::mutex m_presenceMutex;
    mutable Presence* m_presences = nullptr; // guarded by m_presenceMutex
    mutable Subscriber* m_retired = nullptr; // guarded by m_presenceMutex
    // One thread at a time unlinks nodes; publishing at the head needs no lock.
    std::mutex m_unlinkMutex;
};

} // namespace zeb::stream
