#include "messages/codecs/Gnss2EventCodec.h"

#include "messages/codecs/CodecStatus.h"
#include "testsupport/CodecTestSupport.h"

#include <gtest/gtest.h>

namespace zeb::codecs::test {
namespace {

namespace cs = codec_status;
namespace mt = messages::message_type;

// T = 0x01020304, A = 5.
const Frame kTa = {0x01, 0x02, 0x03, 0x04, 0x05};

Frame measureBlock(unsigned channel, std::uint8_t fill)
{
    Frame block(15, fill);
    block[0] = static_cast<std::uint8_t>((channel << 4) | 0x05); // F1 and F3 set
    return block;
}

TEST(Gnss2EventCodec, DataBlocksOfEachLetter)
{
    Frame eBlock(65, 0xAB);
    eBlock[0] = 200; // P
    eBlock[1] = 0x3F; // Q = 7
    eBlock[2] = 0xF6; // first value 6
    Frame bBlock(33, 0x01);
    bBlock[0] = 7; // P
    bBlock[1] = 0xFF; // R = 1, Q = 31
    bBlock[2] = 0x12; // S = 0x123
    bBlock[3] = 0x3C; // first value C
    Gnss2EventCodec codec;
    auto out = makeBuffer();

    ASSERT_EQ(codec.renderRecord(mt::Gnss2EDataBc, sbinFrame(0xE3, kTa + Frame{0, 1} + eBlock), *out), cs::Ok);
    std::string values;
    for (int i = 0; i < 62; ++i) {
        values += ",AB";
    }
    EXPECT_EQ(textOf(*out), "\x02\r\n!0xE3,16909060,5,0,0,1\r\n* 1,200, 7,06" + values + "\r\n\x03");

    std::string bValues = ",0C";
    for (int i = 0; i < 29; ++i) {
        bValues += ",01";
    }
    ASSERT_EQ(codec.renderRecord(mt::Gnss2BData, sbinFrame(0xE0, kTa + Frame{0, 2} + bBlock + bBlock), *out), cs::Ok);
    const std::string bLine = ",  7,1,31,123" + bValues;
    EXPECT_EQ(textOf(*out), "\x02\r\n!0xE0,16909060,5,0,0,2\r\n* 1" + bLine + "\r\n* 2" + bLine + "\r\n\x03");

    ASSERT_EQ(codec.renderRecord(mt::Gnss2EData, sbinFrame(0xE1, kTa + Frame{0, 1} + bBlock), *out), cs::Ok);
    EXPECT_EQ(textOf(*out), "\x02\r\n!0xE1,16909060,5,0,0,1\r\n* 1,1,31,123" + bValues + "\r\n\x03") << "no P";
}

// The block count follows the length: bytes short of a whole block make none.
TEST(Gnss2EventCodec, MeasureFrameWithoutAWholeBlock)
{
    Gnss2EventCodec codec;
    const Frame none = sbinFrame(0xE4, kTa + Frame{1, 2} + Frame(14, 0x11));
    ASSERT_EQ(none[3], 24);
    EXPECT_EQ(decodedText(codec, none), "\x02\r\n!0xE4,16909060,5,1,2\r\n\x03");
}

TEST(Gnss2EventCodec, MeasureBlocksPrintInChannelOrderAndTheLaterDuplicateWins)
{
    // Channel 5, F1 and F3; U 9; V 1234 (123.4); W 1500 (1.5); X -1; bits 7-6 set, G 1, H 3; J 5, K 4; M 9, O 7.
    const Frame late = {0x55, 9, 0x00, 0x00, 0x04, 0xD2, 0x00, 0x05, 0xDC, 0xFF, 0xFF, 0xFF, 0xE3, 0xA4, 0x9E};
    Gnss2EventCodec codec;
    auto out = makeBuffer();
    const Frame frame = sbinFrame(0xE4,
                                  kTa + Frame{1, 2} + measureBlock(5, 0x77) + measureBlock(2, 0) + late
                                      + measureBlock(0, 0) + measureBlock(13, 0));
    ASSERT_EQ(codec.renderRecord(mt::Gnss2Measure, frame, *out), cs::Ok);
    EXPECT_EQ(textOf(*out),
              "\x02\r\n!0xE4,16909060,5,1,2"
              "\r\n*2,1,0,1,0,0.000000,0.000000,0.000000,0,26,0,0,0,0"
              "\r\n*5,1,0,1,9,123.400000,1.500000,-0.004000,1,29,5,4,9,7\r\n\x03");
}

TEST(Gnss2EventCodec, RecordTypesLettersAndBlockCounts)
{
    Gnss2EventCodec codec;
    auto out = makeBuffer();
    const Frame e3 = sbinFrame(0xE3, kTa + Frame{0, 0});
    EXPECT_EQ(codec.renderRecord(mt::Gnss2Messie, sbinFrame(0xE2, Frame{1, 2, 3}), *out), cs::Ok);
    EXPECT_EQ(out->size(), 0U) << "0xE2 has no decoded form";
    EXPECT_EQ(codec.renderRecord(mt::Gnss2BData, e3, *out), cs::NotRendered) << "letter of another type";
    Frame notBinary = e3;
    notBinary[0] = 0x02;
    EXPECT_EQ(codec.renderRecord(mt::Gnss2EDataBc, notBinary, *out), cs::NotRendered);
    EXPECT_EQ(out->size(), 0U);

    // Blocks past the frame's end, and more than twelve blocks: twelve are printed.
    EXPECT_EQ(codec.renderRecord(mt::Gnss2EData, sbinFrame(0xE1, kTa + Frame{0, 2} + Frame(33)), *out), cs::Truncated);
    Frame thirteen = kTa + Frame{0, 13};
    for (int i = 0; i < 13; ++i) {
        thirteen = thirteen + Frame(33, static_cast<std::uint8_t>(i));
    }
    ASSERT_EQ(codec.renderRecord(mt::Gnss2EData, sbinFrame(0xE1, thirteen), *out), cs::Ok);
    const std::string text = textOf(*out);
    EXPECT_NE(text.find("!0xE1,16909060,5,0,0,13\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n*12,"), std::string::npos);
    EXPECT_EQ(text.find("\r\n*13,"), std::string::npos);
}

} // namespace
} // namespace zeb::codecs::test
