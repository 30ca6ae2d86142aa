#include "messages/codecs/AlmanacCodec.h"
#include "messages/codecs/CodecStatus.h"
#include "messages/codecs/EphemerisCodec.h"
#include "messages/codecs/HealthCodec.h"
#include "messages/codecs/IonoUtcCodec.h"
#include "messages/codecs/WireFormat.h"
#include "testsupport/CodecTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zeb::codecs::test {
namespace {

namespace cs = codec_status;

// Words 3-10 of subframe 4 page 18: data/page id 0x78, alpha 12, 0, -1, 0, beta 80, 0, -2, 0, A1 5, A0 -16, t_ot 144,
// WN_t 165, dt_LS 18, WN_LSF 137, DN 7, dt_LSF 18, and 0xAA55 in the rest of word 10.
const Frame kIonoBody = {0x78, 0x0C, 0x00, 0xFF, 0x00, 0x50, 0x00, 0xFE, 0x00, 0x00, 0x00, 0x05,
                         0xFF, 0xFF, 0xFF, 0xF0, 0x90, 0xA5, 0x12, 0x89, 0x07, 0x12, 0xAA, 0x55};
const std::string kIonoWords = "780C00,FF0050,00FE00,000005,FFFFFF,F090A5,128907,12AA55\r\n";

TEST(IonoUtcCodec, DecodesEveryParameterInEngineeringUnitsAndPrintsTheWords)
{
    IonoUtcCodec codec;
    ASSERT_EQ(codec.decode(sbinFrame('U', kIonoBody)), cs::Ok);
    EXPECT_TRUE(codec.checksumOk());
    EXPECT_EQ(codec.value(IonoUtcCodec::Alpha2), -0x1p-24);
    EXPECT_EQ(codec.value(IonoUtcCodec::Beta2), -2 * 0x1p16);
    EXPECT_EQ(codec.value(IonoUtcCodec::A0), -16 * 0x1p-30);
    EXPECT_EQ(codec.value(IonoUtcCodec::Tot), 144 * 4096.0);
    EXPECT_EQ(codec.value(IonoUtcCodec::DeltaTlsf), 18);

    codec.setTime({2300, 345600.25});
    auto out = makeBuffer();
    ASSERT_EQ(codec.renderText(*out), cs::Ok);
    EXPECT_EQ(textOf(*out), "\x02\r\n!U,2300,345600.2\r\n" + kIonoWords + "\x03") << "the header and eight words";
}

TEST(IonoUtcCodec, RendersValuesRoundingHalfAwayFromZeroAndClampingToTheField)
{
    // Alpha0 in units of 2^-30, its scale, and the byte it is written as.
    const std::pair<double, std::uint8_t> cases[] = {
        {2.5, 0x03}, {-2.5, 0xFD}, {-0.5, 0xFF}, {0.49, 0x00}, {1000, 0x7F}, {-1000, 0x80},
    };
    IonoUtcCodec codec;
    auto out = makeBuffer();
    for (const auto& [units, byte] : cases) {
        ASSERT_EQ(codec.decode(sbinFrame('U', kIonoBody)), cs::Ok);
        codec.setValue(IonoUtcCodec::Alpha0, units * 0x1p-30);
        ASSERT_EQ(codec.renderBinary(*out), cs::Ok);
        EXPECT_EQ(out->bytes()[5], byte) << units;
    }
    codec.setValue(IonoUtcCodec::Tot, 2048.0); // half of t_ot's unit
    codec.setValue(IonoUtcCodec::A0, std::nan(""));
    ASSERT_EQ(codec.renderBinary(*out), cs::Ok);
    EXPECT_EQ(out->bytes()[4 + 16], 1);
    EXPECT_EQ(readBigEndian(out->bytes().data() + 4 + 12, 4), 0U);
}

// Binary -> text -> binary gives the same frame, and the text keeps the time, which the binary form does not carry.
// That a text reads back to itself is the fuzz target's property.
template <typename Codec>
void expectRoundTrips(const Frame& binary)
{
    Codec first;
    Codec second;
    auto out = makeBuffer();
    ASSERT_EQ(first.decode(binary), cs::Ok);
    first.setTime({2301, 12.5});
    ASSERT_EQ(first.renderText(*out), cs::Ok);
    const std::string text = textOf(*out);
    ASSERT_EQ(second.decode(bytesOf(text)), cs::Ok) << text;
    EXPECT_EQ(second.time().week, 2301);
    EXPECT_EQ(second.time().seconds, 12.5);
    ASSERT_EQ(second.renderBinary(*out), cs::Ok);
    EXPECT_EQ(Frame(out->bytes().begin(), out->bytes().end()), binary);
}

Frame patternedWords(std::size_t words, std::uint8_t seed)
{
    Frame body(words * 3);
    for (std::size_t i = 0; i < body.size(); ++i) {
        body[i] = static_cast<std::uint8_t>(seed + i * 37);
    }
    return body;
}

// The almanac's satellite 135 must go through the text as its wire number for the binary frame to come back.
TEST(DataWordCodecs, BinaryAndTextFormsRoundTripForEveryMember)
{
    expectRoundTrips<IonoUtcCodec>(sbinFrame('U', kIonoBody));
    expectRoundTrips<HealthCodec>(sbinFrame('S', patternedWords(16, 3)));
    expectRoundTrips<EphemerisCodec>(sbinFrame('E', Frame{17} + patternedWords(24, 9)));
    expectRoundTrips<AlmanacCodec>(sbinFrame('A', Frame{135, 0x09, 0x29} + patternedWords(8, 1)));
}

TEST(EphemerisCodec, PlacesParametersSplitOverTwoWords)
{
    EphemerisCodec codec;
    codec.build(4, 0);
    codec.setValue(EphemerisCodec::SqrtA, 5153.6);
    codec.setValue(EphemerisCodec::Af1, -7 * 0x1p-43);
    codec.setValue(EphemerisCodec::M0, -0.5);
    codec.setValue(EphemerisCodec::IodcHigh, 2);
    codec.setValue(EphemerisCodec::IodcLow, 0x34);
    auto out = makeBuffer();
    ASSERT_EQ(codec.renderBinary(*out), cs::Ok);
    ASSERT_EQ(out->size(), 4 + 1 + 72 + 3U);
    const std::uint8_t* words = out->bytes().data() + 5;
    EXPECT_EQ(out->bytes()[4], 5) << "wire number of index 4";
    EXPECT_EQ(signExtend(readBigEndian(words + 19, 2), 16), -7) << "a_f1";
    EXPECT_EQ(readBigEndian(words + 41, 4), static_cast<std::uint32_t>(std::lround(5153.6 * 0x1p19))) << "sqrt(A)";
    EXPECT_EQ(readBigEndian(words + 29, 4), 0xC0000000U) << "M0 of -0.5 semicircle";
    EXPECT_EQ(words[2] & 0x03, 2) << "IODC high bits end word 3";

    EphemerisCodec decoded;
    ASSERT_EQ(decoded.decode(Frame(out->bytes().begin(), out->bytes().end())), cs::Ok);
    EXPECT_NEAR(decoded.value(EphemerisCodec::SqrtA), 5153.6, 0x1p-20);
    EXPECT_EQ(decoded.value(EphemerisCodec::M0), -0.5);
    EXPECT_EQ(decoded.iodc(), 0x234U);
}

TEST(HealthCodec, HealthAndConfigurationOfAll32Satellites)
{
    HealthCodec codec;
    codec.build(-1, 0);
    codec.setValue(HealthCodec::FirstHealth + 24, 0x2A);
    codec.setValue(HealthCodec::FirstHealth + 31, 0x15);
    codec.setValue(HealthCodec::FirstConfiguration + 31, 0x9);
    codec.setValue(HealthCodec::Toa, 61440.0);
    auto out = makeBuffer();
    ASSERT_EQ(codec.renderBinary(*out), cs::Ok);
    const std::uint8_t* words = out->bytes().data() + 4;
    EXPECT_EQ(words[1], 15) << "t_oa in units of 4096 s";
    EXPECT_EQ(words[41], 0x2A) << "satellite 25 after two reserved bits in word 8 of subframe 4";
    EXPECT_EQ(words[40], 0x09) << "configuration of satellite 32";
    EXPECT_EQ(readBits({words, 48}, 372, 6), 0x15U) << "satellite 32 ends in word 10";

    HealthCodec decoded;
    ASSERT_EQ(decoded.decode(Frame(out->bytes().begin(), out->bytes().end())), cs::Ok);
    EXPECT_EQ(decoded.health(25), 0x2AU);
    EXPECT_EQ(decoded.health(32), 0x15U);
    EXPECT_EQ(decoded.configuration(32), 9U);
}

TEST(AlmanacCodec, JoinsTheTwoPartsOfAf0)
{
    AlmanacCodec codec;
    codec.build(0, 100);
    codec.setValue(AlmanacCodec::Af0High, 0xFF);
    codec.setValue(AlmanacCodec::Af0Low, 0x7);
    EXPECT_EQ(codec.af0(), -0x1p-20) << "the sign comes from the high part";
}

TEST(DataWordCodecs, RejectsFramesThatAreNotTheirs)
{
    IonoUtcCodec iono;
    const Frame good = sbinFrame('U', kIonoBody);
    EXPECT_EQ(iono.decode(sbinFrame('S', kIonoBody)), cs::NotThisCodec) << "letter";
    EXPECT_EQ(iono.decode(sbinFrame('U', Frame(kIonoBody.begin(), kIonoBody.end() - 1))), cs::NotThisCodec)
        << "body size";
    Frame noStart = good;
    noStart[0] = 0x00;
    EXPECT_EQ(iono.decode(noStart), cs::NotThisCodec);
    EXPECT_EQ(iono.decode(Frame(good.begin(), good.end() - 1)), cs::Truncated);
    EXPECT_FALSE(iono.valid());
    auto out = makeBuffer();
    EXPECT_EQ(iono.renderText(*out), cs::NotRendered) << "nothing decoded";
    EXPECT_EQ(iono.renderBinary(*out), cs::NotRendered);

    Frame badSum = good;
    badSum[29] ^= 0x01;
    EXPECT_EQ(iono.decode(badSum), cs::Ok) << "a wrong checksum is noted, not rejected";
    EXPECT_FALSE(iono.checksumOk());

    const std::string header = "\x02\r\n!U,1,2.0\r\n";
    EXPECT_EQ(iono.decode(bytesOf(header + kIonoWords + "\x03")), cs::Ok);
    EXPECT_EQ(iono.decode(bytesOf("\x02\r\n!S,1,2.0\r\n" + kIonoWords + "\x03")), cs::NotThisCodec);
    EXPECT_EQ(iono.decode(bytesOf(header + "780C00,FF0050\r\n\x03")), cs::NotThisCodec) << "words missing";
    EXPECT_EQ(iono.decode(bytesOf(header + "1780C00,FF0050,00FE00,000005,FFFFFF,F090A5,128907,12AA55\r\n\x03")),
              cs::NotThisCodec)
        << "a word above 24 bits";
    EXPECT_EQ(iono.decode(bytesOf("\x02\r\n!U,1,604800.0\r\n" + kIonoWords + "\x03")), cs::NotThisCodec);

    // Unknown satellites, binary and text.
    EphemerisCodec ephemeris;
    AlmanacCodec almanac;
    EXPECT_EQ(ephemeris.decode(sbinFrame('E', Frame{33} + Frame(72))), cs::BadSatellite);
    EXPECT_EQ(almanac.decode(bytesOf("\x02\r\n!A,1,2.0\r\n33,100\r\n0,0,0,0,0,0,0,0\r\n\x03")), cs::BadSatellite);
    EXPECT_EQ(almanac.decode(bytesOf("\x02\r\n!A,1,2.0\r\n41,100\r\n0,0,0,0,0,0,0,0\r\n\x03")), cs::Ok);
}

} // namespace
} // namespace zeb::codecs::test
