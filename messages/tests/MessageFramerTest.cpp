#include "messages/MessageFramer.h"

#include "messages/Classifier.h"
#include "messages/tests/FramerTestSupport.h"
#include "testsupport/AllocationCounter.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace zeb::messages::test {
namespace {

using namespace std::string_literals;

using K = MessageKind;
using S = ReadStatus;
namespace T = message_type;

struct Expected
{
    S status;
    K kind;
    MessageType type;
    std::string bytes;
};

struct Case
{
    const char* name;
    std::string input;
    std::vector<Expected> expected;
};

std::string ofBytes(std::initializer_list<int> values)
{
    std::string text;
    for (const int v : values) {
        text.push_back(static_cast<char>(v));
    }
    return text;
}

Expected done(K kind, MessageType type, const std::string& bytes)
{
    return {S::Complete, kind, type, bytes};
}

Expected unknown(const std::string& bytes)
{
    return {S::Complete, K::Unknown, T::Other, bytes};
}

Expected dropped(K kind, const std::string& bytes)
{
    return {S::Discarded, kind, T::Other, bytes};
}

const std::string kUhfCode = ofBytes({0x02, 'C', 0x7A, 0x18}) + std::string(13, 'z') + "\x03";
const std::string kUhfLrk = ofBytes({0x02, 'T', 0x41, 0x00, 0x07, 0x42, 0x03});
const std::string kEscapedBinary = ofBytes({0xFE, 'A', 0x00, 0x04, 0x01, 0xFD, 0x02, 0x03, 0xFF});
const std::string kDecodedBinary = ofBytes({0xFE, 'A', 0x00, 0x04, 0x01, 0xFF, 0x03, 0xFF});
const std::string kPlainBinary = ofBytes({0xFE, 0xE3, 0x00, 0x05, 0x01, 0x02, 0x03, 0x04, 0xFF});
// A length of 20 (BCD 0x20) whose last byte is no ETX: read on as an SVar frame.
const std::string kUhfPhaseWithoutEtx = ofBytes({0x02, 'P', 'a', 0x20}) + std::string(16, 'b') + "\x03";
// 0xFF inside the body, not escaped: the raw length field decides.
const std::string kRawLengthBinary = ofBytes({0xFE, 'x', 0x00, 0x06, 0x01, 0x02, 0xFF, 0x03, 0x04, 0xFF});
// A bad escape, or a length past the end: the lead byte is dropped and the rest read again.
const std::string kBadEscapeTail = ofBytes({'A', 0x00, 0x03, 0xFD, 0x07, 0x01, 0xFF});
const std::string kHugeLengthTail = ofBytes({'A', 0x20, 0x00, 0x01, 0x05, 0xFF});

std::vector<Case> cases()
{
    const std::string gga = "$GPGGA,1,2*00\r\n";
    const std::string quoted = "$PKVR,\"caf\xE9\"\r\n";
    const std::string pingWithText = "$PKVR,RPC,PING,x\r\n";
    return {
        {"DollarBrokenByControlByte", "$GP\x01", {dropped(K::Telecommand, "$"), unknown("GP\x01")}},
        {"HighByteInsideQuotes", quoted, {done(K::Telecommand, T::Nmea, quoted)}},
        {"SentenceEndsAtFirstLineFeedWithoutCr",
         "$A\n$B\r\n",
         {done(K::Telecommand, T::Nmea, "$A\n"), done(K::Telecommand, T::Nmea, "$B\r\n")}},
        {"SVarMeasureSatellite", "\x02\r\n!R,1,2\x03", {done(K::SVar, T::GnssMeasureSatellite, "\x02\r\n!R,1,2\x03")}},
        {"SVarBrokenByHighByte", "\x02!R\x80zz", {dropped(K::Unknown, "\x02!R\x80"), unknown("zz")}},
        {"UhfBcdLength", kUhfCode + "Z", {done(K::UHF, T::UhfCode, kUhfCode), unknown("Z")}},
        {"UhfSixteenBitLength", kUhfLrk, {done(K::UHF, T::UhfLrk, kUhfLrk)}},
        {"UhfWithoutEtxAtItsLengthIsSVar", kUhfPhaseWithoutEtx, {done(K::SVar, T::Other, kUhfPhaseWithoutEtx)}},
        {"UhfLengthShorterThanHeaderIsSVar",
         ofBytes({0x02, 'C', 0x03, 0x03, 'z'}),
         {done(K::SVar, T::Other, ofBytes({0x02, 'C', 0x03})), unknown(ofBytes({0x03, 'z'}))}},
        {"UhfZeroLengthIsNoFrame",
         ofBytes({0x02, 'C', 'a', 0x00, 'z'}),
         {dropped(K::Unknown, ofBytes({0x02, 'C', 'a', 0x00})), unknown("z")}},
        {"BinaryEscapesAreUndone", kEscapedBinary, {done(K::SBin, T::GnssAlmanach, kDecodedBinary)}},
        {"BinaryAsItStands", kPlainBinary, {done(K::SBin, T::Gnss2EDataBc, kPlainBinary)}},
        {"BinaryRawLengthFallback", kRawLengthBinary, {done(K::SBin, T::Rpc, kRawLengthBinary)}},
        {"BinaryBadEscapeAndLengthDropsLeadByte",
         "\xFE" + kBadEscapeTail,
         {dropped(K::Unknown, "\xFE"), unknown(kBadEscapeTail)}},
        {"BinaryHugeLengthDropsLeadByte",
         "\xFE" + kHugeLengthTail,
         {dropped(K::Unknown, "\xFE"), unknown(kHugeLengthTail)}},
        {"UnknownRunEndsBeforeFrameStarts",
         "zz" + kPlainBinary + "y\x02\r\n!A\x03",
         {unknown("zz"), done(K::SBin, T::Gnss2EDataBc, kPlainBinary), unknown("y"),
          done(K::SVar, T::GnssAlmanach, "\x02\r\n!A\x03")}},
        {"FlushHandsOutHeldBytes", "$G", {done(K::Residue, T::Other, "$G")}},
        {"RequestLineDecidedByNextByte", "GX", {unknown("GX")}},
        {"PingWithExtraTextIsASentence", pingWithText, {done(K::Telecommand, T::Nmea, pingWithText)}},
        {"OnlyTheCrLfPingIsTakenOut",
         "$PKVR,RPC,PING\r\n$PKVR,RPC,PING\n",
         {done(K::Telecommand, T::Nmea, "$PKVR,RPC,PING\n")}},
        {"LowerCaseMethodStartsNoRequest", "get / HTTP/1.1\r\n", {unknown("get / HTTP/1.1\r\n")}},
        {"HttpRequestHandedOutWithoutData",
         "GET /a HTTP/1.0\r\nHost: x\r\n\r\n" + gga,
         {done(K::HttpRequest, T::Other, ""), done(K::Telecommand, T::Nmea, gga)}},
        {"HttpControlByteLineStaysInBuffer",
         "HEAD /c HTTP/1.1\r\nA\x01\r\n",
         {dropped(K::HttpRequest, ""), unknown("A\x01\r\n")}},
    };
}

class FramerEdgeCase : public ::testing::TestWithParam<Case>
{ };

// Reads of any size hand out the same frames; only a run of unknown text may come in more pieces, so runs are joined.
std::vector<Step> joinedUnknownRuns(const std::vector<Step>& steps)
{
    const auto isUnknownText = [](const Step& step) { return step.kind == K::Unknown && step.status == S::Complete; };
    std::vector<Step> out;
    for (const Step& step : steps) {
        if (isUnknownText(step) && !out.empty() && isUnknownText(out.back())) {
            out.back().bytes.insert(out.back().bytes.end(), step.bytes.begin(), step.bytes.end());
        } else {
            out.push_back(step);
        }
    }
    return out;
}

TEST_P(FramerEdgeCase, HandsOutTheseMessagesWhateverTheReadSize)
{
    const Case& c = GetParam();
    for (const std::size_t chunk : {1, 2, 3, 4, 5, 7, 16, 4096}) {
        SCOPED_TRACE("read size " + std::to_string(chunk));
        const auto steps = joinedUnknownRuns(frameAll(bytesOf(c.input), chunk));
        ASSERT_EQ(steps.size(), c.expected.size());
        for (std::size_t i = 0; i < steps.size(); ++i) {
            SCOPED_TRACE("message " + std::to_string(i));
            EXPECT_EQ(readStatusName(steps[i].status), readStatusName(c.expected[i].status));
            EXPECT_EQ(messageKindName(steps[i].kind), messageKindName(c.expected[i].kind));
            EXPECT_EQ(messageTypeName(steps[i].type), messageTypeName(c.expected[i].type));
            EXPECT_EQ(textOf(steps[i].bytes), c.expected[i].bytes);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Framing, FramerEdgeCase, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Classifier, ContentIsJudgedByTheFirstTestThatHolds)
{
    const std::vector<std::tuple<std::string, bool, MessageKind>> cases{
        {"$\r\n"s, false, MessageKind::Telecommand},
        {"$A\n"s, false, MessageKind::Residue},
        {"\xFE\x41\x00\x03\x01\x02\xFF"s, false, MessageKind::SBin},
        {"\xFE\x41\x00\x02\x01\xFF"s, false, MessageKind::Residue},
        {"\x02\r\n\x03"s, false, MessageKind::SVar},
        {"\x02\x43\x00\x03"s, false, MessageKind::UHF},
        {"\x02\rX\x03"s, false, MessageKind::Residue},
        {"\x02X\n\x03"s, false, MessageKind::Residue},
        {"\x02\r\n"s, true, MessageKind::RTCM},
        {"$\r\n"s, true, MessageKind::Telecommand},
        {""s, false, MessageKind::Residue},
    };
    for (const auto& [bytes, hasRtcm, kind] : cases) {
        SCOPED_TRACE(bytes);
        EXPECT_EQ(messageKindName(classifyContent(bytesOf(bytes), hasRtcm)), messageKindName(kind));
    }
}

class RecordingHooks : public FramerHooks
{
public:
    void onPingSentence() override { ++pings; }
    void onHttpRequest(HttpRequestRecord&) override { ++requests; }

    int pings = 0;
    int requests = 0;
};

TEST(MessageFramer, HttpRequestReachesTheHookBeforeItIsHandedOut)
{
    RecordingHooks hooks;
    auto framer = std::make_unique<MessageFramer>(&hooks);
    framer->append(bytesOf("GET /index.html HTTP/1.1\r\nConnection: keep-alive\r\n"));
    const FrameResult waiting = framer->step();
    EXPECT_EQ(waiting.status, S::NeedMore);
    EXPECT_EQ(waiting.kind, K::HttpRequest);
    EXPECT_EQ(hooks.requests, 0);

    framer->append(bytesOf("\r\n"));
    const FrameResult done = framer->step();
    EXPECT_EQ(done.status, S::Complete);
    EXPECT_EQ(done.length, 0u);
    EXPECT_EQ(hooks.requests, 1);
    EXPECT_EQ(framer->held(), 0u);
}

// The allocation counter sees every allocation of this test program.
TEST(MessageFramer, FramingAllocatesNothingPerMessage)
{
    using namespace std::string_view_literals;
    Bytes input;
    for (const char* file : {"nmea/ublox-zed-f9p-nmea.nmea", "rtcm2/rtcm2.bend.rtcm2", "nmea/skytraq-PX1172RH_DS.nmea",
                             "rtcm2/sample.rtcm2", "nmea/isync.nmea"}) {
        const Bytes part = readFile(file);
        input.insert(input.end(), part.begin(), part.end());
    }
    // Once per round a ping (and a line-feed-only one, which is none) and a request reach the hooks.
    const Bytes extra
        = bytesOf("$PKVR,RPC,PING\r\n$PKVR,RPC,PING\nGET /x HTTP/1.1\r\nHost: a\r\nAccept: b\r\n\r\n\x02\r\n!R,1\x03"
                  "\xFE\x41\x00\x04\x01\xFD\x02\x03\xFF"sv);
    input.insert(input.end(), extra.begin(), extra.end());

    RecordingHooks hooks;
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

// When the buffer is full, a frame that could still grow is given up, so framing never stalls.
TEST(MessageFramer, FullBufferNeverStallsFraming)
{
    const std::size_t full = MessageFramer::kCapacity - 1;
    // The head of a frame that never ends (a sentence, SVar, binary, request line, header line) and the status, kind
    // and length of the step that gives it up.
    const std::vector<std::tuple<std::string, S, K, std::size_t>> fullCases{
        {"$", S::Discarded, K::Telecommand, 1},
        {"\x02", S::Discarded, K::Unknown, full},
        {"\xFE", S::Discarded, K::Unknown, 1},
        {"GET /", S::Complete, K::Unknown, full},
        {"GET / HTTP/1.1\r\nA: ", S::Discarded, K::HttpRequest, 0},
    };
    for (const auto& [head, status, kind, length] : fullCases) {
        SCOPED_TRACE(head);
        auto framer = std::make_unique<MessageFramer>();
        Bytes input = bytesOf(head);
        input.resize(full + 1, 'a');
        ASSERT_EQ(framer->append(input), full) << "one byte stays free for the terminating zero";
        // Keep the buffer topped up, as a receiver that never stops sending would.
        FrameResult first = framer->step();
        for (int i = 0; i < 10 && first.status == S::NeedMore; ++i) {
            framer->append(Bytes(full, 'a'));
            first = framer->step();
        }
        EXPECT_EQ(first.status, status);
        EXPECT_EQ(first.kind, kind);
        EXPECT_EQ(first.length, length);
        for (int i = 0; i < 10 && framer->held() > 0; ++i) {
            framer->step();
        }
        EXPECT_LT(framer->held(), full);
    }
}

TEST(MessageFramer, FrameStateLeftOverAfterClearingTheBufferHealsItself)
{
    auto framer = std::make_unique<MessageFramer>();
    framer->append(bytesOf("$GPG"));
    EXPECT_EQ(framer->step().status, S::NeedMore);
    framer->clearBuffer();
    EXPECT_EQ(framer->step().status, S::Idle);
    framer->append(bytesOf("#$A\n"));
    const FrameResult first = framer->step();
    EXPECT_EQ(first.kind, K::Unknown);
    EXPECT_EQ(first.length, 1u);
    EXPECT_EQ(framer->step().kind, K::Telecommand);
}

} // namespace
} // namespace zeb::messages::test
