#include "messages/codecs/MeasurementCodec.h"

#include "messages/codecs/CodecStatus.h"
#include "testsupport/CodecTestSupport.h"

#include <gtest/gtest.h>

namespace zeb::codecs::test {
namespace {

namespace cs = codec_status;

const Frame kTime = {0x08, 0xFC, 0x34, 0xBC, 0x00}; // week 2300, 345600.0 s

// Channel 3, satellite 5, S 0x9F (quality bit set, level 31), M3 absent; second part with D1 and D3 absent.
const Frame kBlock1 = {3,    5,    0x01, 0x02, 0x03, 0x04, 0x9F, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, 0x11,
                       0x22, 0x80, 0x00, 0x10, 0x80, 0x00, 0x00, 0x02, 0x00, 0xFF, 0xFF, 0xFE, 0x33, 0x44};
// Channel 4, satellite 120, S 0x45: the second part is there but to be ignored.
const Frame kBlock2
    = {4, 120, 0x00, 0x00, 0x03, 0xE8, 0x45, 0, 0, 0, 0x00, 0x00, 0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

TEST(MeasurementCodec, DecodesAndPrintsBlocksWithChannelSecondPartAndAbsentValues)
{
    MeasurementCodec codec;
    ASSERT_EQ(codec.decode(sbinFrame('R', kTime + Frame{0xA9} + kBlock1 + kBlock2)), cs::Ok);
    ASSERT_EQ(codec.blockCount(), 2U);

    const SatelliteBlock& a = codec.block(0);
    EXPECT_EQ(a.satellite, 4);
    EXPECT_FALSE(a.qualityMarked());
    EXPECT_FALSE(a.m3.has_value());
    ASSERT_TRUE(a.hasSecondPart);
    EXPECT_FALSE(a.d1.has_value());
    EXPECT_FALSE(a.d3.has_value());
    EXPECT_DOUBLE_EQ(*a.m1PlusD2(), (0x01020304 + 16) * 1e-10);
    EXPECT_FALSE(a.m1PlusD3().has_value());

    const SatelliteBlock& b = codec.block(1);
    EXPECT_EQ(b.satellite, 32) << "wire number 120 maps to index 32";
    EXPECT_TRUE(b.qualityMarked());
    EXPECT_FALSE(b.hasSecondPart) << "S bit 6 says to ignore it";

    auto out = makeBuffer();
    ASSERT_EQ(codec.renderText(*out), cs::Ok);
    EXPECT_EQ(textOf(*out),
              "\x02\r\n!R,2300,345600.0\r\n#P,180.0,2\r\n"
              "*3,5,16909060,256,,4,36,11,22,,16,,512,-2,33,44\r\n"
              "*4,120,1000,0,16,2,1C,00,00,,,,,,,\r\n\x03");
}

TEST(MeasurementCodec, TextFormOfQWithCoarseUnitsAndNoChannelByte)
{
    // Extra header value 0x000102; flags: coarse units, interval 1800 s.
    const Frame block = {7, 0, 0, 0, 1, 0x02, 0, 0, 2, 0xFF, 0xFF, 0xFF, 9, 10};
    MeasurementCodec codec;
    EXPECT_EQ(decodedText(codec, sbinFrame('Q', kTime + Frame{0x00, 0x01, 0x02, 0x07} + block)),
              "\x02\r\n!Q,2300,345600.0,258\r\n&C,1800.0,0\r\n*1,7,1,2,-1,0,1C,09,0A,,,,,,,\r\n\x03");
    EXPECT_EQ(codec.block(0).level, 2U + 26U);
}

TEST(MeasurementCodec, LowerCaseRHasItsOwnChannelByteAndNoTextForm)
{
    const Frame block = {1, 9, 0, 0, 0, 1, 0x80, 0, 0, 2, 0, 0, 3, 4, 5};
    MeasurementCodec codec;
    ASSERT_EQ(codec.decode(sbinFrame('r', kTime + Frame{0x00} + block + Frame{0xAA})), cs::Ok);
    ASSERT_EQ(codec.blockCount(), 1U) << "a trailing partial block is ignored";
    EXPECT_EQ(codec.block(0).channel, 9);
    EXPECT_EQ(codec.block(0).k2, 5);
    auto out = makeBuffer();
    EXPECT_EQ(codec.renderText(*out), cs::NotThisCodec);
    EXPECT_EQ(out->size(), 0U);
}

TEST(MeasurementCodec, Errors)
{
    MeasurementCodec codec;
    const Frame frame = sbinFrame('R', kTime + Frame{0xA9} + kBlock1);
    EXPECT_EQ(codec.decode(Frame(frame.begin(), frame.end() - 1)), cs::Truncated) << "length claims one byte more";
    Frame badSatellite = kBlock1;
    badSatellite[1] = 33;
    EXPECT_EQ(codec.decode(sbinFrame('R', kTime + Frame{0xA9} + badSatellite)), cs::BadSatellite);
    EXPECT_EQ(codec.decode(sbinFrame('Q', kTime + Frame{0xA9})), cs::NotThisCodec) << "header too short for 'Q'";
    EXPECT_EQ(codec.decode(sbinFrame('R', Frame{0, 0, 0xFF, 0xFF, 0xFF, 0})), cs::NotThisCodec) << "time of week";
    EXPECT_EQ(codec.decode(bytesOf("\x02\r\n!R,1,2.0\r\n#C,30.0,0\r\n\x03")), cs::NotThisCodec) << "not read back";

    Frame many = kTime + Frame{0x00};
    for (int i = 0; i < 20; ++i) {
        many = many + Frame{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    }
    ASSERT_EQ(codec.decode(sbinFrame('R', many)), cs::Ok);
    EXPECT_EQ(codec.blockCount(), MeasurementCodec::kMaxBlocks);
}

} // namespace
} // namespace zeb::codecs::test
