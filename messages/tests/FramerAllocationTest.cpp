// Counts every allocation in this test program, to prove that framing allocates nothing.

#include "messages/MessageFramer.h"
#include "messages/tests/FramerTestSupport.h"
#include "testsupport/AllocationCounter.h"

#include <gtest/gtest.h>

namespace zeb::messages::test {
namespace {

class CountingHooks : public FramerHooks
{
public:
    void onPingSentence() override { ++pings; }
    void onHttpRequest(HttpRequestRecord&) override { ++requests; }
    int pings = 0;
    int requests = 0;
};

TEST(FramerAllocation, FramingAllocatesNothingPerMessage)
{
    using namespace std::string_view_literals;
    Bytes input;
    for (const char* file : {"nmea/ublox-zed-f9p-nmea.nmea", "rtcm2/rtcm2.bend.rtcm2", "nmea/skytraq-PX1172RH_DS.nmea",
                             "rtcm2/sample.rtcm2", "nmea/isync.nmea"}) {
        const Bytes part = readFile(file);
        input.insert(input.end(), part.begin(), part.end());
    }
    const Bytes extra = bytesOf("$PKVR,RPC,PING\r\nGET /x HTTP/1.1\r\nHost: a\r\nAccept: b\r\n\r\n\x02\r\n!R,1\x03"
                                "\xFE\x41\x00\x04\x01\xFD\x02\x03\xFF"sv);
    input.insert(input.end(), extra.begin(), extra.end());

    CountingHooks hooks;
    auto framer = std::make_unique<MessageFramer>(&hooks);
    long messages = 0;
    const testsupport::AllocationCounter allocations;
    for (int round = 0; round < 20; ++round) {
        feed(*framer, input, 4096, [&](const FrameResult&) { ++messages; });
    }
    EXPECT_EQ(allocations.count(), 0u);
    EXPECT_GT(messages, 20 * 1000);
    EXPECT_EQ(hooks.pings, 20);
    EXPECT_EQ(hooks.requests, 20);
}

} // namespace
} // namespace zeb::messages::test
