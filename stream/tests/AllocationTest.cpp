// The receive path allocates nothing: a counting global operator new watches a long feed.
#include "testsupport/StreamTestSupport.h"
#include "testsupport/AllocationCounter.h"

#include <gtest/gtest.h>

namespace zeb::stream {
namespace {

struct Counter
{
    std::size_t messages = 0;
    std::size_t bytes = 0;
    static void callback(void* context, IOSTStream*, StreamEventCode code, std::intptr_t argument)
    {
        if (code != StreamEventCode::Receive)
            return;
        auto* self = static_cast<Counter*>(context);
        ++self->messages;
        self->bytes += eventArgument(argument).length();
    }
};

TEST(ReceivePath, FeedingLargeCapturesAllocatesNothing)
{
    testing::Bytes capture = testing::concatenatedCaptures("nmea", ".nmea");
    const testing::Bytes rtcm = testing::concatenatedCaptures("rtcm2", ".rtcm2");
    capture.insert(capture.end(), rtcm.begin(), rtcm.end());
    const testing::Bytes frame = {0xFE, 'R', 0x00, 0x04, 0x01, 0xFD, 0x02, 0x03, 0xFF, 0x02, 'T', 0x03};
    capture.insert(capture.end(), frame.begin(), frame.end());
    ASSERT_GT(capture.size(), 150000u);

    IOSTStream stream(IOSTStream::kAnonymous);
    Counter counter;
    stream.subscribeCallback(&Counter::callback, &counter);
    StreamRegistry::messages(); // registered before counting starts

    const testsupport::AllocationCounter allocations;
    for (int round = 0; round < 3; ++round) {
        for (std::size_t at = 0; at < capture.size(); at += 4096)
            stream.feed(std::span(capture).subspan(at, std::min<std::size_t>(4096, capture.size() - at)));
    }

    EXPECT_EQ(allocations.count(), 0u);
    EXPECT_GT(counter.messages, 3000u);
}

} // namespace
} // namespace zeb::stream
