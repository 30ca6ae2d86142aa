#include "platform/HeadlessDispatcher.h"
#include "platform/MessageListeners.h"
#include "platform/MessageRegistry.h"
#include "platform/tests/DispatchBehaviour.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>

namespace zeb::platform::testing {
namespace {

struct HeadlessHarness
{
    static std::unique_ptr<Dispatcher> makeLocal() { return std::make_unique<HeadlessDispatcher>(); }
    static bool pump(Dispatcher& dispatcher, const std::function<bool()>& condition, std::chrono::milliseconds timeout)
    {
        return static_cast<HeadlessDispatcher&>(dispatcher).runUntil(condition, timeout);
    }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Headless, DispatchBehaviour, HeadlessHarness);

TEST(MessageRegistry, SameNameSameIdentifierFromEveryThread)
{
    std::vector<std::thread> threads;
    std::mutex mutex;
    std::set<MessageId> ids;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&] {
            const MessageId id = MessageRegistry::registerMessage("ON_STREAM_RECEIVE");
            const std::lock_guard lock(mutex);
            ids.insert(id);
        });
    }
    for (auto& thread : threads)
        thread.join();
    ASSERT_EQ(ids.size(), 1u);
    const MessageId receive = *ids.begin();
    EXPECT_GE(receive, MessageRegistry::kFirstRegistered);
    EXPECT_NE(MessageRegistry::registerMessage("ON_STREAM_SEND"), receive);
    EXPECT_EQ(MessageRegistry::nameOf(receive), "ON_STREAM_RECEIVE");
}

TEST(HeadlessDispatcher, QuitBeforeRunReturnsAtOnceAndTargetsNeedADispatcher)
{
    EXPECT_THROW(FunctionTarget({}), std::logic_error);
    HeadlessDispatcher dispatcher;
    dispatcher.quit();
    dispatcher.run();
    SUCCEED();
}

// A posted message reaches every live listener of it, once each, and no other target; the listeners gone are
// dropped and not counted.
TEST(MessageListeners, PostsToEveryLiveListenerOfTheMessage)
{
    HeadlessDispatcher dispatcher;
    const MessageId wanted = MessageRegistry::registerMessage("TEST_LISTENERS_WANTED");
    const MessageId other = MessageRegistry::registerMessage("TEST_LISTENERS_OTHER");
    std::vector<std::pair<int, LParam>> received;
    auto record = [&](int who) {
        return [&received, who](MessageId message, WParam, LParam lParam) {
            if (message == MessageRegistry::registerMessage("TEST_LISTENERS_WANTED"))
                received.emplace_back(who, lParam);
            return LResult{0};
        };
    };
    FunctionTarget first(record(1));
    FunctionTarget second(record(2));
    FunctionTarget forgotten(record(3));
    auto gone = std::make_unique<FunctionTarget>(record(4));
    MessageListeners& listeners = MessageListeners::instance();
    for (const Handle target : {first.handle(), second.handle(), forgotten.handle(), gone->handle()})
        listeners.listen(target, wanted);
    listeners.listen(first.handle(), wanted); // twice: still one delivery
    listeners.listen(second.handle(), other);
    listeners.forget(forgotten.handle());
    gone.reset();

    EXPECT_EQ(listeners.postToAll(wanted, 0, 7), 2u);
    EXPECT_EQ(listeners.postToAll(other, 0, 8), 1u); // to `second`, which ignores it
    dispatcher.runUntil([&] { return received.size() >= 2; }, std::chrono::seconds(5));
    dispatcher.runUntil([] { return false; }, std::chrono::milliseconds(20));
    EXPECT_EQ(received, (std::vector<std::pair<int, LParam>>{{1, 7}, {2, 7}}));
    listeners.forget(first.handle());
    listeners.forget(second.handle());
    EXPECT_EQ(listeners.postToAll(wanted), 0u);
}

} // namespace
} // namespace zeb::platform::testing
