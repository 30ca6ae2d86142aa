#include "platform/Messaging.h"
#include "testsupport/CaptureFiles.h"
#include "testsupport/StreamTestSupport.h"
#include "testsupport/ThreadTestSupport.h"
#include "testsupport/WindowThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace zeb::stream {
namespace {

using platform::LParam;
using platform::LResult;
using platform::MessageId;
using platform::WParam;

// A window that copies the bytes of each stream event it is sent while the event still lives.
class WindowThread : public testsupport::WindowThread
{
public:
    WindowThread()
        : testsupport::WindowThread([](MessageId id, WParam, LParam lParam) {
            const auto& ids = StreamRegistry::messages();
            if (id != ids.receive && id != ids.send)
                return std::string();
            return std::string(reinterpret_cast<const StreamEvent*>(lParam)->text());
        })
    {
    }
};

TEST(WindowSubscriber, StreamEventsReachWindowsWithTheirArguments)
{
    const auto& ids = StreamRegistry::messages();
    testing::ScriptedTransport client(stream_type::Client, false);
    WindowThread window;
    IOSTStream stream(IOSTStream::kAnonymous);
    IOSTStream peer(IOSTStream::kAnonymous);
    stream.subscribeWindow(window.handle());

    StreamAddress address = testing::addressOfType(stream_type::Client);
    ASSERT_EQ(stream.open(address), StreamStatus::Ok);
    stream.write("$GPZDA\r\n");
    stream.notifyCommand(11, 22);
    stream.notifyBreaker(5);
    stream.notifyTrigger(6);
    stream.notifyTimer(7);
    stream.notifyReset();
    stream.notifyConnect(&peer);
    stream.notifyDisconnect(&peer);
    stream.close();

    const auto self = reinterpret_cast<LParam>(&stream);
    const auto peerW = reinterpret_cast<WParam>(&peer);
    const std::vector<std::tuple<MessageId, WParam, LParam>> expected = {
        {ids.open, 0, self},        {ids.sent, 0, self},           {ids.send, 0, 0},     {ids.command, 11, 22},
        {ids.breaker, 0, 5},        {ids.trigger, 0, 6},           {ids.timer, 0, 7},    {ids.reset, 0, 0},
        {ids.connect, peerW, self}, {ids.disconnect, peerW, self}, {ids.close, 0, self},
    };
    const auto messages = window.messages();
    ASSERT_EQ(messages.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(messages[i].id, std::get<0>(expected[i]));
        EXPECT_EQ(messages[i].wParam, std::get<1>(expected[i]));
        if (messages[i].id != ids.send) { // the send record lives on the writer's stack
            EXPECT_EQ(messages[i].lParam, std::get<2>(expected[i]));
        }
    }
    EXPECT_EQ(messages[2].text, "$GPZDA\r\n");
}

// A window that leaves from inside its own notification: the walk standing on its nodes goes
// on to the next subscriber, and the nodes are freed once the walk ends (AddressSanitizer).
TEST(WindowSubscriber, AWindowUnsubscribesFromInsideItsOwnNotification)
{
    const auto& ids = StreamRegistry::messages();
    IOSTStream stream(IOSTStream::kAnonymous);
    WindowThread steady;
    stream.subscribeWindow(steady.handle());
    platform::Handle leaving = platform::kNoHandle;
    testsupport::WindowThread leaver([&](MessageId id, WParam, LParam) {
        if (id == ids.receive)
            stream.unsubscribeWindow(leaving);
        return std::string();
    });
    leaving = leaver.handle();
    stream.subscribeWindow(leaving);
    stream.subscribeWindow(leaving);

    stream.feed(testing::bytesOf("$GPHDT,1.0,T\r\n$GPZDA\r\n"));
    EXPECT_EQ(leaver.count(ids.receive), 1u);
    EXPECT_EQ(steady.count(ids.receive), 2u);
    EXPECT_EQ(stream.subscriberCount(), 1u);
}

// A receive thread feeds a capture while a window on another thread subscribes, switches
// itself off and on, leaves and comes back, and counts what it gets. Run under
// ThreadSanitizer and AddressSanitizer too.
TEST(WindowSubscriber, AWindowSubscribesWhileAReceiveThreadDelivers)
{
    const auto& ids = StreamRegistry::messages();
    const testing::Bytes capture
        = testing::bytesOf(testsupport::readFile(testsupport::captureFolder() / "nmea" / "polarx2.nmea"));
    ASSERT_FALSE(capture.empty());

    IOSTStream stream(IOSTStream::kAnonymous);
    std::atomic<std::uint64_t> total{0};
    stream.subscribeCallback(
        [](void* context, IOSTStream*, StreamEventCode code, std::intptr_t) {
            if (code == StreamEventCode::Receive)
                ++*static_cast<std::atomic<std::uint64_t>*>(context);
        },
        &total);

    std::atomic<bool> feeding{true};
    std::thread feeder([&] {
        while (feeding.load()) {
            for (std::size_t at = 0; at < capture.size(); at += 977)
                stream.feed(std::span(capture).subspan(at, std::min<std::size_t>(977, capture.size() - at)));
        }
    });
    testing::mustHappen([&] { return total.load() > 0; }, "the receive thread to deliver");

    WindowThread window;
    stream.subscribeWindow(window.handle());
    testing::mustHappen([&] { return window.count(ids.receive) >= 200; }, "200 messages to the new window");
    stream.setWindowState(window.handle(), SubscriberState::Disabled);
    stream.setWindowState(window.handle(), SubscriberState::Enabled);
    for (int i = 0; i < 200; ++i) {
        stream.unsubscribeWindow(window.handle());
        stream.subscribeWindow(window.handle());
    }
    EXPECT_EQ(stream.subscriberCount(), 2u);
    const std::size_t before = window.count(ids.receive);
    testing::mustHappen([&] { return window.count(ids.receive) >= before + 200; }, "200 more after re-enabling");
    feeding = false;
    feeder.join();

    const auto messages = window.messages();
    EXPECT_GE(messages.size(), before + 200);
    EXPECT_LE(messages.size(), total.load());
    for (const auto& message : messages) {
        ASSERT_EQ(message.id, ids.receive);
        ASSERT_EQ(message.thread, window.id());
        ASSERT_FALSE(message.text.empty());
    }
}

} // namespace
} // namespace zeb::stream
