#include "stream/StreamListener.h"
#include "testsupport/StreamTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace zeb::stream {
namespace {

using testing::Recorder;

class RecordingListener : public StreamListener
{
public:
    std::vector<std::string> calls;
    void onReceive(const StreamEvent& event) override { calls.push_back("receive " + std::string(event.text())); }
    void onSend(const StreamEvent& event) override { calls.push_back("send " + std::string(event.text())); }
    void onBreaker(std::intptr_t argument) override { calls.push_back("breaker " + std::to_string(argument)); }
    void onTrigger(std::intptr_t argument) override { calls.push_back("trigger " + std::to_string(argument)); }
    void onTimer(std::intptr_t argument) override { calls.push_back("timer " + std::to_string(argument)); }
    void onReset() override { calls.push_back("reset"); }
};

StreamEvent completeEvent(const char* text)
{
    StreamEvent event;
    event.status = messages::ReadStatus::Complete;
    event.setData(reinterpret_cast<const std::uint8_t*>(text), static_cast<std::uint32_t>(std::strlen(text)));
    return event;
}

enum class Expect { ConsumeMarks, EnabledOnly, Everyone };

struct DeliveryCase
{
    const char* name;
    std::function<void(IOSTStream&, IOSTStream& peer)> fire;
    bool callbacksReceive; // callback nodes are called
    bool listenersReceive; // listener nodes are called
    Expect rule;
    StreamEventCode code;
};

// Three callbacks and three listeners in states 1, 2 and 0 see one notification; who is told
// and what becomes of the state-2 marks is the rule of that notification. One notification
// stands for each group that shares a rule (send, close and sent as open; trigger and timer
// as breaker; disconnect as connect).
TEST(EventSource, EachNotificationFollowsItsDeliveryRule)
{
    const StreamEvent event = completeEvent("$GPHDT,1.0,T\r\n");
    const std::vector<DeliveryCase> cases = {
        {"receive", [&](IOSTStream& s, IOSTStream&) { s.notifyReceive(event); }, true, true, Expect::ConsumeMarks,
         StreamEventCode::Receive},
        {"open", [](IOSTStream& s, IOSTStream&) { s.notifyOpen(); }, true, false, Expect::ConsumeMarks,
         StreamEventCode::Open},
        {"breaker", [](IOSTStream& s, IOSTStream&) { s.notifyBreaker(5); }, false, true, Expect::ConsumeMarks, {}},
        {"reset", [](IOSTStream& s, IOSTStream&) { s.notifyReset(); }, false, true, Expect::EnabledOnly, {}},
        {"command", [](IOSTStream& s, IOSTStream&) { s.notifyCommand(1, 2); }, false, false, Expect::EnabledOnly, {}},
        {"connect", [](IOSTStream& s, IOSTStream& peer) { s.notifyConnect(&peer); }, true, false, Expect::Everyone,
         StreamEventCode::Connect},
    };
    // One callback and one listener in each state: enabled, marked for disabling, disabled.
    const SubscriberState states[]
        = {SubscriberState::Enabled, SubscriberState::DisableAtNextEvent, SubscriberState::Disabled};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Recorder callbacks[3];
        RecordingListener listeners[3];
        IOSTStream stream(IOSTStream::kAnonymous);
        IOSTStream peer(IOSTStream::kAnonymous);
        for (int i = 0; i < 3; ++i) {
            stream.subscribeCallback(&Recorder::callback, &callbacks[i], states[i]);
            stream.subscribeListener(&listeners[i], states[i]);
        }

        c.fire(stream, peer);

        for (int i = 0; i < 3; ++i) {
            const bool told = i == 0 || c.rule == Expect::Everyone;
            EXPECT_EQ(callbacks[i].codes().size(), told && c.callbacksReceive ? 1u : 0u) << i;
            EXPECT_EQ(listeners[i].calls.size(), i == 0 && c.listenersReceive ? 1u : 0u) << i;
        }
        if (c.callbacksReceive) {
            EXPECT_EQ(callbacks[0].codes().front(), c.code);
        }
        const auto markAfter
            = c.rule == Expect::ConsumeMarks ? SubscriberState::Disabled : SubscriberState::DisableAtNextEvent;
        EXPECT_EQ(stream.callbackState(&Recorder::callback, &callbacks[1]), markAfter);
        EXPECT_EQ(stream.listenerState(&listeners[1]), markAfter);
        EXPECT_EQ(stream.callbackState(&Recorder::callback, &callbacks[2]), SubscriberState::Disabled);
    }
}

TEST(EventSource, NewestSubscriberIsServedFirstAndStateChangesReachEveryNodeOfASubscriber)
{
    std::vector<int> order;
    struct Tagged
    {
        std::vector<int>* order;
        int tag;
        static void callback(void* context, IOSTStream*, StreamEventCode, std::intptr_t)
        {
            auto* self = static_cast<Tagged*>(context);
            self->order->push_back(self->tag);
        }
    } first{&order, 1}, second{&order, 2};
    IOSTStream stream(IOSTStream::kAnonymous);
    stream.subscribeCallback(&Tagged::callback, &first);
    stream.subscribeCallback(&Tagged::callback, &second);
    stream.subscribeCallback(&Tagged::callback, &first); // subscribed twice
    stream.notifyOpen();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 1}));

    order.clear();
    stream.setCallbackState(&Tagged::callback, &first, SubscriberState::Disabled);
    stream.notifyOpen();
    EXPECT_EQ(order, (std::vector<int>{2})) << "disabling must reach both nodes of the subscriber";

    order.clear();
    stream.setAllStates(SubscriberState::Enabled);
    stream.notifyOpen();
    EXPECT_EQ(order.size(), 3u);
    EXPECT_EQ(stream.subscriberCount(), 3u) << "disabling keeps the nodes";
}

TEST(EventSource, SubscribingFromInsideANotificationTakesEffectAtTheNextOne)
{
    Recorder late;
    struct Subscriber
    {
        IOSTStream* stream;
        Recorder* late;
        int calls = 0;
        static void callback(void* context, IOSTStream*, StreamEventCode, std::intptr_t)
        {
            auto* self = static_cast<Subscriber*>(context);
            ++self->calls;
            // Every event adds another node while the list is being walked.
            self->stream->subscribeCallback(&Recorder::callback, self->late);
        }
    } subscriber{nullptr, &late};
    IOSTStream stream(IOSTStream::kAnonymous);
    subscriber.stream = &stream;
    stream.subscribeCallback(&Subscriber::callback, &subscriber);

    stream.notifyOpen();
    EXPECT_EQ(subscriber.calls, 1);
    EXPECT_TRUE(late.codes().empty()) << "the walk in progress must not reach the new node";
    stream.notifyClose();
    EXPECT_EQ(subscriber.calls, 2);
    EXPECT_EQ(late.codes().size(), 1u);
    EXPECT_EQ(stream.subscriberCount(), 3u);
}

} // namespace
} // namespace zeb::stream
