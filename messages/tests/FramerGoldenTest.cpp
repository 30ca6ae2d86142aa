#include "messages/MessageFramer.h"
#include "messages/tests/FramerTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace zeb::messages::test {
namespace {

const char* const kNmeaLogs[] = {
    "bu353-glonass.nmea",  "garmin-geko201.nmea",
    "hemi.nmea",           "isync.nmea",
    "mtk-3301.nmea",       "polarx2.nmea",
    "quectel-L70.nmea",    "skytraq-PX1172RH_DS.nmea",
    "st-teseo-liv3f.nmea", "ublox-zed-f9p-nmea.nmea",
};

// A capture's file name and the read size.
using CaptureAndReadSize = std::tuple<const char*, std::size_t>;

class NmeaLog : public ::testing::TestWithParam<CaptureAndReadSize>
{ };

// The logs' quirks: a sentence fragment runs into the next sentence on the same line and is
// one message with it; lines without "$" (JSON, the fragment's tail) are unknown text; a line
// without LF is held until the flush.
TEST_P(NmeaLog, EverySentenceLineIsOneTelecommandInOrderWhateverTheReadSize)
{
    const auto [file, chunk] = GetParam();
    const Bytes input = readFile(std::string("nmea/") + file);
    // Lines that begin with "$" are sentences, with their line ends; every other line is unknown text; what
    // follows the last LF is the flush's residue.
    const std::string text = textOf(input);
    std::vector<std::string> expectedSentences;
    std::string expectedUnknown;
    std::size_t pos = 0;
    for (std::size_t lf = text.find('\n'); lf != std::string::npos; pos = lf + 1, lf = text.find('\n', pos)) {
        const std::string line = text.substr(pos, lf + 1 - pos);
        if (line.front() == '$') {
            expectedSentences.push_back(line);
        } else {
            expectedUnknown += line;
        }
    }
    ASSERT_FALSE(expectedSentences.empty());

    std::vector<std::string> sentences;
    std::string unknown;
    std::string residue;
    for (const Step& step : frameAll(input, chunk)) {
        ASSERT_EQ(step.status, ReadStatus::Complete) << messageKindName(step.kind) << " " << textOf(step.bytes);
        switch (step.kind) {
        case MessageKind::Telecommand:
            EXPECT_EQ(step.type, message_type::Nmea);
            sentences.push_back(textOf(step.bytes));
            break;
        case MessageKind::Unknown:
            EXPECT_EQ(step.type, message_type::Other);
            unknown += textOf(step.bytes);
            break;
        case MessageKind::Residue:
            residue += textOf(step.bytes);
            break;
        default:
            ADD_FAILURE() << "unexpected " << messageKindName(step.kind) << ": " << textOf(step.bytes);
        }
    }
    EXPECT_EQ(sentences, expectedSentences);
    EXPECT_EQ(unknown, expectedUnknown);
    EXPECT_EQ(residue, text.substr(pos));
}

INSTANTIATE_TEST_SUITE_P(Captures, NmeaLog,
                         ::testing::Combine(::testing::ValuesIn(kNmeaLogs), ::testing::Values(1u, 7u, 4096u)));

class RtcmThroughFramer : public ::testing::TestWithParam<CaptureAndReadSize>
{ };

// Read boundaries must not change what the assembler sees: the same messages come out with
// every read size, and nothing but unknown text and residue between them.
TEST_P(RtcmThroughFramer, SameMessagesWhateverTheReadSize)
{
    const auto [file, chunk] = GetParam();
    const Bytes input = readFile(std::string("rtcm2/") + file);
    RtcmWordAssembler reference;
    std::vector<Bytes> expected;
    for (const std::uint8_t b : input) {
        if (b >= 0x40 && b <= 0x7F && reference.feed(b) == RtcmWordAssembler::Feed::Complete) {
            expected.push_back(rebuilt(reference));
        }
    }
    ASSERT_FALSE(expected.empty());
    std::vector<Bytes> messages;
    for (const Step& step : frameAll(input, chunk)) {
        ASSERT_EQ(step.status, ReadStatus::Complete);
        if (step.kind == MessageKind::RTCM) {
            EXPECT_EQ(step.type, message_type::Rtcm);
            messages.push_back(step.bytes);
        } else {
            EXPECT_TRUE(step.kind == MessageKind::Unknown || step.kind == MessageKind::Residue)
                << messageKindName(step.kind);
        }
    }
    EXPECT_TRUE(messages == expected) << "the framer's RTCM messages differ from the assembler's";
}

INSTANTIATE_TEST_SUITE_P(Captures, RtcmThroughFramer,
                         ::testing::Combine(::testing::Values("sample.rtcm2", "short.rtcm2", "rtcm2.bend.rtcm2"),
                                            ::testing::Values(1u, 7u, 4096u)));

} // namespace
} // namespace zeb::messages::test
