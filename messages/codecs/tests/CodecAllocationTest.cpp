// Counts every allocation in this test program, to prove that decoding and rendering allocate nothing: the terminal
// runs them for every message while the receive thread waits.

#include "messages/codecs/CodecStatus.h"
#include "messages/codecs/Gnss2EventCodec.h"
#include "messages/codecs/IonoUtcCodec.h"
#include "messages/codecs/MeasurementCodec.h"
#include "messages/codecs/UhfCodeCodec.h"
#include "testsupport/AllocationCounter.h"
#include "testsupport/CodecTestSupport.h"

#include <gtest/gtest.h>

namespace zeb::codecs::test {
namespace {

TEST(CodecAllocation, DecodeAndRenderAllocateNothing)
{
    const Frame iono = sbinFrame('U', Frame(24, 0x5A));
    const Frame ionoText = bytesOf("\x02\r\n!U,2300,1.5\r\n780C00,FF0050,00FE00,000005,FFFFFF,F090A5,128907,12AA55\r\n"
                                   "\x03");
    const Frame measure = sbinFrame('Q', Frame{8, 0xFC, 0, 0, 1, 0, 0, 0, 0x80} + Frame(27, 1));
    const Frame code = uhfFrame(Frame{0x02, 'C', 0x12, 0, 0x45, 0x01, 0x23, 0x45, 5, 0, 0, 100}, false);
    const Frame gnss2 = sbinFrame(0xE4, Frame{1, 2, 3, 4, 5, 1, 2} + Frame(30, 0x15));
    IonoUtcCodec ionoCodec;
    MeasurementCodec measureCodec;
    UhfCodeCodec codeCodec;
    codeCodec.setReferenceTime(messages::GnssTime{2300, 1.0});
    Gnss2EventCodec gnss2Codec;
    auto out = makeBuffer();

    const testsupport::AllocationCounter allocations;
    for (int round = 0; round < 10; ++round) {
        ASSERT_EQ(ionoCodec.decode(iono), codec_status::Ok);
        ASSERT_EQ(ionoCodec.renderText(*out), codec_status::Ok);
        ASSERT_EQ(ionoCodec.renderBinary(*out), codec_status::Ok);
        ASSERT_EQ(ionoCodec.decode(ionoText), codec_status::Ok);
        ASSERT_EQ(measureCodec.decode(measure), codec_status::Ok);
        ASSERT_EQ(measureCodec.renderText(*out), codec_status::Ok);
        ASSERT_EQ(codeCodec.decode(code), codec_status::Ok);
        ASSERT_EQ(codeCodec.renderText(*out), codec_status::Ok);
        ASSERT_EQ(gnss2Codec.renderRecord(messages::message_type::Gnss2Measure, gnss2, *out), codec_status::Ok);
    }
    EXPECT_EQ(allocations.count(), 0U);
}

} // namespace
} // namespace zeb::codecs::test
