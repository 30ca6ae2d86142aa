#pragma once

#include "platform/Types.h"
#include "stream/StreamCallback.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>

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
// Subscribers live in a list, newest first, of nodes that stay until the source is destroyed:
// unsubscribing only disables a node. New nodes are published at the head without a lock, so
// a handler may subscribe (on any thread) while a notification walks the list; the walk in
// progress does not reach the new node.
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
        Subscriber* next = nullptr;
    };

    enum class Rule {
        // Enabled nodes receive; nodes marked DisableAtNextEvent become Disabled instead.
        ConsumeMarks,
        // Enabled nodes receive; marks stay.
        EnabledOnly,
        // Every node receives once, whatever its state.
        Everyone,
    };

    // The stream handed to callback subscribers.
    virtual IOSTStream* callbackStream() { return nullptr; }

    template <typename Deliver>
    void forEachSubscriber(Rule rule, Deliver&& deliver)
    {
        for (Subscriber* node = m_head.load(std::memory_order_acquire); node; node = node->next) {
            if (admits(rule, *node))
                deliver(*node);
        }
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

    std::atomic<Subscriber*> m_head{nullptr};
};

} // namespace zeb::stream
