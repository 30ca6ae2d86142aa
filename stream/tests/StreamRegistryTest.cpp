#include "platform/MessageRegistry.h"
#include "testsupport/StreamTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace zeb::stream {
namespace {

TEST(StreamRegistry, StreamsAreFoundBySlotNameAndAddressNewestFirst)
{
    auto& registry = StreamRegistry::instance();
    {
        IOSTStream a(17);
        IOSTStream beyond(300);
        IOSTStream anonymous(IOSTStream::kAnonymous);

        EXPECT_EQ(registry.byIdentifier(17), &a);
        EXPECT_EQ(registry.byIdentifier(300), nullptr) << "no slot beyond 255";
        EXPECT_EQ(registry.byName("#300"), &beyond);
        EXPECT_EQ(anonymous.name(), "#4294967295");
        EXPECT_EQ(registry.byName("#4294967295"), &anonymous);

        const auto list = registry.streams();
        ASSERT_GE(list.size(), 3u);
        EXPECT_EQ(list[0], &anonymous);
        EXPECT_EQ(list[1], &beyond);
        EXPECT_EQ(list[2], &a);

        // Two streams with one identifier: the newer holds the slot and is found first by
        // name; when it goes, the older one gets the slot back.
        auto newer = std::make_unique<IOSTStream>(17);
        EXPECT_EQ(registry.byIdentifier(17), newer.get());
        newer.reset();
        EXPECT_EQ(registry.byIdentifier(17), &a);
    }
    EXPECT_EQ(registry.byIdentifier(17), nullptr);
    EXPECT_EQ(registry.byName("#300"), nullptr);
}

TEST(StreamRegistry, StreamsMadeAndDestroyedOnManyThreadsLeaveTheRegistryConsistent)
{
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            while (!go)
                std::this_thread::yield();
            for (int i = 0; i < 200; ++i) {
                IOSTStream stream(100 + t);
                EXPECT_EQ(StreamRegistry::instance().byIdentifier(100 + t), &stream);
                EXPECT_NE(StreamRegistry::instance().byName(stream.name()), nullptr);
            }
        });
    }
    go = true;
    for (auto& thread : threads)
        thread.join();
    for (int t = 0; t < 4; ++t)
        EXPECT_EQ(StreamRegistry::instance().byIdentifier(100 + t), nullptr);
}

} // namespace
} // namespace zeb::stream
