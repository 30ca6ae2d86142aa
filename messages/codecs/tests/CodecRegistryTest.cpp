#include "messages/codecs/CodecRegistry.h"

#include "messages/codecs/IonoUtcCodec.h"
#include "messages/codecs/StandardCodecs.h"
#include "messages/codecs/WireFormat.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace zeb::codecs::test {
namespace {

using messages::MessageKind;
namespace mt = messages::message_type;

TEST(CodecRegistry, NewestCodecWinsAndLeavesWithItsObject)
{
    auto& registry = CodecRegistry::instance();
    const std::size_t before = registry.size();
    MessageCodec* const previous = registry.find(MessageKind::SBin, mt::GnssIonoTropo);
    {
        IonoUtcCodec older;
        EXPECT_EQ(registry.find(MessageKind::SBin, mt::GnssIonoTropo), &older);
        {
            IonoUtcCodec newer;
            EXPECT_EQ(registry.find(MessageKind::SBin, mt::GnssIonoTropo), &newer);
            EXPECT_EQ(registry.size(), before + 2);
        }
        EXPECT_EQ(registry.find(MessageKind::SBin, mt::GnssIonoTropo), &older);
        EXPECT_EQ(registry.find(MessageKind::UHF, mt::GnssIonoTropo), nullptr) << "kind and type must both match";
    }
    EXPECT_EQ(registry.find(MessageKind::SBin, mt::GnssIonoTropo), previous);
    EXPECT_EQ(registry.size(), before);
}

TEST(CodecRegistry, StartUpRegistrationCoversEveryMemberOnce)
{
    Gnss2EventCodec& gnss2 = registerGnss2EventCodec();
    EXPECT_EQ(&registerGnss2EventCodec(), &gnss2);
    registerMessageCodecs();
    const std::size_t count = CodecRegistry::instance().size();
    registerMessageCodecs();
    EXPECT_EQ(CodecRegistry::instance().size(), count);

    // Every standard member is there; which types the GNSS2 and UHF codecs take is their own key lists.
    auto& registry = CodecRegistry::instance();
    EXPECT_EQ(registry.find(MessageKind::SBin, mt::Gnss2Measure), &gnss2);
    EXPECT_EQ(registry.find(MessageKind::SVar, mt::Gnss2Measure), nullptr) << "GNSS2 records have no text form";
    for (const auto type : {mt::GnssAlmanach, mt::GnssEphemeris, mt::GnssHealth, mt::GnssIonoTropo,
                            mt::GnssMeasureSatellite, mt::GnssMeasureReceiver}) {
        EXPECT_NE(registry.find(MessageKind::SBin, type), nullptr) << type;
        EXPECT_NE(registry.find(MessageKind::SVar, type), nullptr) << type;
    }
    EXPECT_NE(registry.find(MessageKind::UHF, mt::UhfLrk), nullptr);
}

// A codec keeps what it decoded until the next decode: while one thread holds it between decode and render, no
// other thread gets it.
TEST(CodecLease, AThreadWaitsForItsTurnAtASharedCodec)
{
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
    EXPECT_EQ(CodecRegistry::instance().find(MessageKind::SBin, mt::GnssIonoTropo), &unpublished);
    const CodecRegistry::Lease lease = CodecRegistry::instance().lease(MessageKind::SBin, mt::GnssIonoTropo);
    ASSERT_TRUE(lease);
    EXPECT_NE(&*lease, &unpublished) << "the standard one, published after its construction";
}

TEST(WireFormat, BitFieldsAcrossByteBoundaries)
{
    std::uint8_t stream[4] = {};
    writeBits(stream, 5, 11, 0x5A5);
    EXPECT_EQ(readBits(stream, 5, 11), 0x5A5U);
    EXPECT_EQ(stream[0], 0x05);
    EXPECT_EQ(stream[1], 0xA5);
    writeBits(stream, 30, 8, 0xFF); // past the end: the bits that fit are written, the others dropped
    EXPECT_EQ(stream[3], 0x03);
    EXPECT_EQ(readBits(stream, 30, 4), 0xCU) << "bits past the end read as 0";
    EXPECT_EQ(signExtend(0x3FFFFFF, 26), -1);
    EXPECT_EQ(signExtend(0x2000000, 26), -0x2000000);
    EXPECT_EQ(bcdByte(0x99), 99);
    EXPECT_EQ(bcdByte(0xA0), -1);
}

} // namespace
} // namespace zeb::codecs::test
