#include "messages/codecs/CodecStatus.h"
#include "messages/codecs/UhfCodeCodec.h"
#include "messages/codecs/UhfLrkCodec.h"
#include "messages/codecs/UhfMessageCodec.h"
#include "messages/codecs/UhfPhaseCodec.h"
#include "testsupport/CodecTestSupport.h"

#include <gtest/gtest.h>

#include <tuple>

namespace zeb::codecs::test {
namespace {

namespace cs = codec_status;

const messages::GnssTime kNow{2300, 345600.0};
// Address 12, value 45, time of period 012345 (1234.5 s), which lies 301.5 s before kNow.
const Frame kHead = {0x02, 0, 0x12, 0, 0x45, 0x01, 0x23, 0x45};
const std::string kTimeLine = "!D,2300,345298.5\r\n";

Frame be32(std::int32_t value)
{
    const auto v = static_cast<std::uint32_t>(value);
    return {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v)};
}

Frame head(char letter, bool wide = false)
{
    Frame h = kHead;
    h[1] = static_cast<std::uint8_t>(letter);
    if (wide) {
        h.insert(h.begin() + 4, 0);
    }
    return h;
}

// Records: satellite 5 with +1.00, satellite 33 (unknown, skipped), satellite 120 with -0.01.
Frame codeFrame()
{
    return uhfFrame(head('C') + Frame{5, 0, 0, 100, 33, 0xFF, 0xFF, 0x9C, 120, 0xFF, 0xFF, 0xFF}, false);
}

TEST(UhfCodeCodec, DecodesBcdFieldsResolvesTheTimeAndSkipsUnknownSatellites)
{
    const Frame frame = codeFrame();
    ASSERT_EQ(frame.size(), 23U);
    EXPECT_EQ(frame[3], 0x23) << "BCD length counts STX through ETX";
    UhfCodeCodec codec;
    codec.setReferenceTime(kNow);
    EXPECT_EQ(decodedText(codec, frame), "\x02\r\n" + kTimeLine + "%S,12,45,1\r\n*5,1.00\r\n*120,-0.01\r\n\x03");
    EXPECT_EQ(codec.recordCount(), 2U);
}

TEST(UhfCodeCodec, EveryErrorCode)
{
    const Frame good = codeFrame();
    auto patched = [&](std::size_t at, std::uint8_t byte) {
        Frame f = good;
        f[at] = byte;
        return f;
    };
    auto rebuilt = [&](std::size_t at, std::uint8_t byte) {
        Frame h(good.begin(), good.end() - 3);
        h[at] = byte;
        return uhfFrame(h, false);
    };
    // What is wrong, the frame, the status.
    const std::tuple<const char*, Frame, int> cases[] = {
        {"no STX", patched(0, 0x01), cs::NotThisCodec},
        {"letter", uhfFrame(head('P') + Frame{5, 0, 0, 1}, false), cs::WrongLetter},
        {"address 0xA0", rebuilt(2, 0xA0), cs::BadAddress},
        {"length below 11", patched(3, 0x10), cs::LengthTooSmall},
        {"value above 99", rebuilt(4, 0xA1), cs::BadValue},
        {"length past the bytes", Frame(good.begin(), good.end() - 1), cs::Truncated},
        {"no ETX", patched(22, 0x04), cs::NoEtx},
        {"checksum", patched(21, good[21] ^ 0x01), cs::ChecksumMismatch},
        {"records not a multiple of 4", uhfFrame(head('C') + Frame{5, 0, 0, 1, 0, 0}, false), cs::NoValidRecord},
        {"only unknown satellites", uhfFrame(head('C') + Frame{33, 0, 0, 1, 5, 0x80, 0, 0}, false), cs::NoValidRecord},
        {"11 records", uhfFrame(head('C') + Frame(44, 1), false), cs::NoValidRecord},
    };
    UhfCodeCodec codec;
    codec.setReferenceTime(kNow);
    for (const auto& [what, frame, expected] : cases) {
        EXPECT_EQ(codec.decode(frame), expected) << what;
        EXPECT_FALSE(codec.valid()) << what;
    }
    EXPECT_EQ(codec.decode(uhfFrame(head('C') + Frame(40, 1), false)), cs::Ok) << "10 records";
}

TEST(UhfPhaseCodec, PositionAndRecords)
{
    const Frame body = be32(420123456) + be32(-12345) + be32(0) + Frame{7} + be32(-1234) + Frame{0x85};
    UhfPhaseCodec codec;
    codec.setReferenceTime(kNow);
    EXPECT_EQ(decodedText(codec, uhfFrame(head('P') + body, false)),
              "\x02\r\n" + kTimeLine + "%N,12,4201234.560,-123.450,0.000\r\n%K,12,45,0\r\n*,7,,-1234,,,2,05\r\n\x03");
    Frame tooShort = uhfFrame(head('P') + Frame(14), false);
    EXPECT_EQ(codec.decode(tooShort), cs::LengthTooSmall) << "25 bytes";
    EXPECT_EQ(codec.decode(uhfFrame(head('P') + Frame(12) + Frame(3), false)), cs::NoValidRecord);
}

TEST(UhfLrkCodec, ShortAndLongRecordsWithA16BitLength)
{
    const Frame position = be32(1) + be32(2) + be32(-3);
    const Frame record = Frame{5} + be32(100) + be32(-200) + be32(300) + Frame{7, 9, 0xAB, 0xCD};
    UhfLrkCodec codec;
    codec.setReferenceTime(kNow);

    const Frame shortFrame = uhfFrame(head('T', true) + position + Frame{0} + record, true);
    ASSERT_EQ(shortFrame.size(), 42U);
    const std::string lead = "\x02\r\n" + kTimeLine + "%N,12,0.010,0.020,-0.030\r\n";
    EXPECT_EQ(decodedText(codec, shortFrame), lead + "%T,12,45,1,0\r\n*,5,100,-200,300,7,9,AB,CD\r\n\x03");

    const Frame extended = be32(1) + be32(2) + be32(3) + be32(4) + be32(-5);
    EXPECT_EQ(decodedText(codec, uhfFrame(head('T', true) + position + Frame{1} + record + extended, true)),
              lead + "%T,12,45,1,1\r\n*,5,100,-200,300,7,9,AB,CD,1,2,3,4,-5\r\n\x03");

    EXPECT_EQ(codec.decode(uhfFrame(head('T', true) + position + Frame{0} + record + Frame{1}, true)),
              cs::NoValidRecord);
}

TEST(UhfMessageCodec, CopiesPrintableBytesAndEscapesTheOthers)
{
    const Frame frame = uhfFrame(Frame{0x02, 'X', 0x07, 0, 0, 'h', 'i', 0x01, 0x7F, '\\', 0xE9}, true, false);
    ASSERT_EQ(frame.size(), 12U);
    UhfMessageCodec codec;
    EXPECT_EQ(decodedText(codec, frame), "\x02\r\n!X,7\r\nhi\\x01\x7F\\\\xE9\x03");

    // The frame checks are the UHF members' common part, each checked once with the code frame.
    EXPECT_EQ(codec.decode(uhfFrame(Frame{0x02, 'X', 0x07, 0, 0}, true, false)), cs::Ok) << "empty payload";
    Frame small = frame;
    small[4] = 5;
    EXPECT_EQ(codec.decode(small), cs::LengthTooSmall) << "shorter than an untimed header with a 16-bit length";
}

} // namespace
} // namespace zeb::codecs::test
