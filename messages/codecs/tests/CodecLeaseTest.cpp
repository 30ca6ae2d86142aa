// A registered codec shared by threads: each decode and render is one thread's turn.
#include "messages/codecs/CodecRegistry.h"
#include "messages/codecs/CodecStatus.h"
#include "messages/codecs/IonoUtcCodec.h"
#include "messages/codecs/StandardCodecs.h"
#include "testsupport/CodecTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace zeb::codecs::test {
namespace {

// A codec keeps what it decoded until the next decode: while one thread holds it between decode and render, no
// other thread gets it.
TEST(CodecLease, AThreadWaitsForItsTurnAtASharedCodec)
{
    using messages::MessageKind;
    namespace mt = messages::message_type;
    registerMessageCodecs();
    CodecRegistry::Lease held = CodecRegistry::instance().lease(MessageKind::SBin, mt::GnssAlmanach);
    ASSERT_TRUE(held);
    std::atomic<bool> released{false};
    std::atomic<bool> waited{false};
    std::thread other([&] {
        const CodecRegistry::Lease mine = CodecRegistry::instance().lease(MessageKind::SBin, mt::GnssAlmanach);
        waited = released.load();
    });
    // Only makes a wrong early turn likely to show; the test does not depend on it.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    released = true;
    held = CodecRegistry::Lease{};
    other.join();
    EXPECT_TRUE(waited.load()) << "the other thread got the codec while it was held";
}

TEST(CodecLease, ACodecIsLeasedOnlyOnceItWasPublished)
{
    registerMessageCodecs();
    IonoUtcCodec unpublished;
    EXPECT_EQ(CodecRegistry::instance().find(messages::MessageKind::SBin, messages::message_type::GnssIonoTropo),
              &unpublished);
    const CodecRegistry::Lease lease
        = CodecRegistry::instance().lease(messages::MessageKind::SBin, messages::message_type::GnssIonoTropo);
    ASSERT_TRUE(lease);
    EXPECT_NE(&*lease, &unpublished) << "the standard one, published after its construction";
}

} // namespace
} // namespace zeb::codecs::test
