#include "stream/EventSource.h"

#include "platform/Messaging.h"
#include "stream/StreamEvent.h"
#include "stream/StreamListener.h"
#include "stream/StreamRegistry.h"

#include <utility>

namespace zeb::stream {

namespace {

std::uint8_t raw(SubscriberState state)
{
    return static_cast<std::uint8_t>(state);
}

platform::LParam asLParam(const void* pointer)
{
    return reinterpret_cast<platform::LParam>(pointer);
}

} // namespace

EventSource::Presence::Presence(const EventSource& source)
    : m_source(&source)
{
    const std::lock_guard lock(source.m_presenceMutex);
    m_next = source.m_presences;
    if (m_next)
        m_next->m_previous = this;
    source.m_presences = this;
}

EventSource::Presence::~Presence()
{
    // Marked only by the source's destructor, which the thread that owns this presence was
    // waiting for (or ran itself): the source is gone and its list with it.
    if (sourceGone())
        return;
    Subscriber* unlinked = nullptr;
    {
        const std::lock_guard lock(m_source->m_presenceMutex);
        if (m_previous)
            m_previous->m_next = m_next;
        else
            m_source->m_presences = m_next;
        if (m_next)
            m_next->m_previous = m_previous;
        // The last walker is gone: nobody can hold an unlinked node any more.
        if (!m_source->m_presences)
            unlinked = std::exchange(m_source->m_retired, nullptr);
    }
    freeNodes(unlinked);
}

bool EventSource::callerInside() const
{
    const std::lock_guard lock(m_presenceMutex);
    for (const Presence* presence = m_presences; presence; presence = presence->m_next) {
        if (presence->m_thread == std::this_thread::get_id())
            return true;
    }
    return false;
}

EventSource::~EventSource()
{
    {
        const std::lock_guard lock(m_presenceMutex);
        for (Presence* presence = m_presences; presence;) {
            // Once marked, a presence may go at any moment.
            Presence* next = presence->m_next;
            presence->m_gone.store(true, std::memory_order_release);
            presence = next;
        }
        m_presences = nullptr;
        freeNodes(std::exchange(m_retired, nullptr));
    }
    Subscriber* node = m_head.exchange(nullptr);
    while (node) {
        Subscriber* next = node->next.load();
        delete node;
        node = next;
    }
}

void EventSource::freeNodes(Subscriber* nodes)
{
    while (nodes)
        delete std::exchange(nodes, nodes->retiredNext);
}

void EventSource::push(Subscriber* node)
{
    Subscriber* head = m_head.load(std::memory_order_relaxed);
    do {
        node->next.store(head, std::memory_order_relaxed);
    } while (!m_head.compare_exchange_weak(head, node, std::memory_order_release, std::memory_order_relaxed));
}

// Publishing touches only the head, so with unlinkers taking turns a node's `next` changes
// only here; a walker standing on an unlinked node still finds its way on, since the node
// is freed only once every walker has left.
template <typename Match>
void EventSource::removeNodes(Match&& match)
{
    Subscriber* unlinked = nullptr;
    const auto unlink = [&](Subscriber& node) {
        node.state = raw(SubscriberState::Disabled);
        node.retiredNext = unlinked;
        unlinked = &node;
    };
    {
        const std::lock_guard lock(m_unlinkMutex);
        Subscriber* head = m_head.load(std::memory_order_acquire);
        while (head && match(*head)) {
            // A failed exchange leaves the newly published head to look at.
            Subscriber* next = head->next.load(std::memory_order_acquire);
            if (m_head.compare_exchange_strong(head, next, std::memory_order_acq_rel)) {
                unlink(*head);
                head = next;
            }
        }
        for (Subscriber* previous = head; previous;) {
            Subscriber* node = previous->next.load(std::memory_order_acquire);
            if (node && match(*node)) {
                previous->next.store(node->next.load(std::memory_order_acquire), std::memory_order_release);
                unlink(*node);
            } else {
                previous = node;
            }
        }
    }
    retire(unlinked);
}

void EventSource::retire(Subscriber* nodes)
{
    if (!nodes)
        return;
    {
        const std::lock_guard lock(m_presenceMutex);
        if (m_presences) {
            Subscriber* last = nodes;
            while (last->retiredNext)
                last = last->retiredNext;
            last->retiredNext = std::exchange(m_retired, nodes);
            return;
        }
    }
    freeNodes(nodes);
}

void EventSource::unsubscribeWindow(platform::Handle window)
{
    removeNodes([&](const Subscriber& node) { return node.kind == SubscriberKind::Window && node.window == window; });
}

void EventSource::unsubscribeCallback(StreamCallback callback, void* context)
{
    removeNodes([&](const Subscriber& node) {
        return node.kind == SubscriberKind::Callback && node.callback == callback && node.context == context;
    });
}

void EventSource::subscribeWindow(platform::Handle window, SubscriberState state)
{
    auto* node = new Subscriber;
    node->state = raw(state);
    node->kind = SubscriberKind::Window;
    node->window = window;
    push(node);
}

void EventSource::subscribeCallback(StreamCallback callback, void* context, SubscriberState state)
{
    auto* node = new Subscriber;
    node->state = raw(state);
    node->kind = SubscriberKind::Callback;
    node->callback = callback;
    node->context = context;
    push(node);
}

void EventSource::subscribeListener(StreamListener* listener, SubscriberState state)
{
    auto* node = new Subscriber;
    node->state = raw(state);
    node->kind = SubscriberKind::Listener;
    node->listener = listener;
    push(node);
}

template <typename Match>
void EventSource::setStates(SubscriberState state, Match&& match)
{
    const Presence presence(*this);
    for (Subscriber* node = m_head.load(std::memory_order_acquire); node; node = node->next.load()) {
        if (match(*node))
            node->state = raw(state);
    }
}

void EventSource::setListenerState(StreamListener* listener, SubscriberState state)
{
    setStates(state, [&](const Subscriber& node) {
        return node.kind == SubscriberKind::Listener && node.listener == listener;
    });
}

void EventSource::setWindowState(platform::Handle window, SubscriberState state)
{
    setStates(state,
              [&](const Subscriber& node) { return node.kind == SubscriberKind::Window && node.window == window; });
}

void EventSource::setCallbackState(StreamCallback callback, void* context, SubscriberState state)
{
    setStates(state, [&](const Subscriber& node) {
        return node.kind == SubscriberKind::Callback && node.callback == callback && node.context == context;
    });
}

void EventSource::setAllStates(SubscriberState state)
{
    setStates(state, [](const Subscriber&) { return true; });
}

template <typename Match>
std::optional<SubscriberState> EventSource::newestState(Match&& match) const
{
    const Presence presence(*this);
    for (Subscriber* node = m_head.load(std::memory_order_acquire); node; node = node->next.load()) {
        if (match(*node))
            return static_cast<SubscriberState>(node->state.load());
    }
    return std::nullopt;
}

std::optional<SubscriberState> EventSource::windowState(platform::Handle window) const
{
    return newestState(
        [&](const Subscriber& node) { return node.kind == SubscriberKind::Window && node.window == window; });
}

std::optional<SubscriberState> EventSource::listenerState(StreamListener* listener) const
{
    return newestState(
        [&](const Subscriber& node) { return node.kind == SubscriberKind::Listener && node.listener == listener; });
}

std::optional<SubscriberState> EventSource::callbackState(StreamCallback callback, void* context) const
{
    return newestState([&](const Subscriber& node) {
        return node.kind == SubscriberKind::Callback && node.callback == callback && node.context == context;
    });
}

std::size_t EventSource::subscriberCount() const
{
    const Presence presence(*this);
    std::size_t count = 0;
    for (Subscriber* node = m_head.load(std::memory_order_acquire); node; node = node->next.load())
        ++count;
    return count;
}

bool EventSource::admits(Rule rule, Subscriber& node)
{
    if (rule == Rule::Everyone)
        return true;
    std::uint8_t state = node.state.load();
    if (state == raw(SubscriberState::Enabled))
        return true;
    // The exchange keeps a state set by another thread in the meantime.
    if (rule == Rule::ConsumeMarks && state == raw(SubscriberState::DisableAtNextEvent))
        node.state.compare_exchange_strong(state, raw(SubscriberState::Disabled));
    return false;
}

void EventSource::deliverStreamEvent(Rule rule, platform::MessageId message, platform::WParam wParam,
                                     platform::LParam lParam, IOSTStream* stream, StreamEventCode code,
                                     std::intptr_t argument)
{
    forEachSubscriber(rule, [&](const Subscriber& node) {
        if (node.kind == SubscriberKind::Window)
            platform::send(node.window, message, wParam, lParam);
        else if (node.kind == SubscriberKind::Callback && node.callback)
            node.callback(node.context, stream, code, argument);
    });
}

void EventSource::notifyMessage(const StreamEvent& event, platform::MessageId message, StreamEventCode code,
                                void (StreamListener::*handler)(const StreamEvent&))
{
    if (event.status != messages::ReadStatus::Complete)
        return;
    IOSTStream* stream = callbackStream();
    forEachSubscriber(Rule::ConsumeMarks, [&](const Subscriber& node) {
        if (node.kind == SubscriberKind::Window)
            platform::send(node.window, message, 0, asLParam(&event));
        else if (node.kind == SubscriberKind::Callback && node.callback)
            node.callback(node.context, stream, code, asLParam(&event));
        else if (node.kind == SubscriberKind::Listener && node.listener)
            (node.listener->*handler)(event);
    });
}

void EventSource::notifyReceive(const StreamEvent& event)
{
    notifyMessage(event, StreamRegistry::messages().receive, StreamEventCode::Receive, &StreamListener::onReceive);
}

void EventSource::notifySend(const StreamEvent& event)
{
    notifyMessage(event, StreamRegistry::messages().send, StreamEventCode::Send, &StreamListener::onSend);
}

void EventSource::notifyCommand(platform::WParam wParam, platform::LParam lParam)
{
    const auto& ids = StreamRegistry::messages();
    forEachSubscriber(Rule::EnabledOnly, [&](const Subscriber& node) {
        if (node.kind == SubscriberKind::Window)
            platform::send(node.window, ids.command, wParam, lParam);
    });
}

void EventSource::notifyArgument(platform::MessageId message, std::intptr_t argument,
                                 void (StreamListener::*handler)(std::intptr_t))
{
    forEachSubscriber(Rule::ConsumeMarks, [&](const Subscriber& node) {
        if (node.kind == SubscriberKind::Window)
            platform::send(node.window, message, 0, argument);
        else if (node.kind == SubscriberKind::Listener && node.listener)
            (node.listener->*handler)(argument);
    });
}

void EventSource::notifyBreaker(std::intptr_t argument)
{
    notifyArgument(StreamRegistry::messages().breaker, argument, &StreamListener::onBreaker);
}

void EventSource::notifyTrigger(std::intptr_t argument)
{
    notifyArgument(StreamRegistry::messages().trigger, argument, &StreamListener::onTrigger);
}

void EventSource::notifyTimer(std::intptr_t argument)
{
    notifyArgument(StreamRegistry::messages().timer, argument, &StreamListener::onTimer);
}

void EventSource::notifyReset()
{
    const auto& ids = StreamRegistry::messages();
    forEachSubscriber(Rule::EnabledOnly, [&](const Subscriber& node) {
        if (node.kind == SubscriberKind::Window)
            platform::send(node.window, ids.reset, 0, 0);
        else if (node.kind == SubscriberKind::Listener && node.listener)
            node.listener->onReset();
    });
}

} // namespace zeb::stream
