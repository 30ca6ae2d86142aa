#include "platform/HeadlessDispatcher.h"
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

} // namespace
} // namespace zeb::platform::testing
