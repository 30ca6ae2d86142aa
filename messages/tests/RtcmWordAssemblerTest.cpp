#include "messages/RtcmWordAssembler.h"

#include "messages/GnssTime.h"
#include "messages/tests/FramerTestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <span>
#include <sstream>
#include <tuple>
#include <utility>

namespace zeb::messages::test {
namespace {

// (type, station, modified Z-count, sequence number, length): what both decoders agree on.
using Header = std::tuple<int, int, int, int, int>;

Header headerOf(const RtcmMessage& m)
{
    return {m.messageType, m.stationId, m.zCount, m.sequence, m.length};
}

// The framer feeds the assembler only bytes 0x40-0x7F; the captures hold line feeds, a text
// header and a few corrupted bytes besides.
Bytes rtcmBytesOf(const Bytes& bytes)
{
    Bytes out;
    std::copy_if(bytes.begin(), bytes.end(), std::back_inserter(out),
                 [](std::uint8_t b) { return b >= 0x40 && b <= 0x7F; });
    return out;
}

// Every message of `bytes`, through `assembler` when given (to read its state after), else a fresh one.
std::vector<RtcmMessage> decodeAll(const Bytes& bytes, RtcmWordAssembler* assembler = nullptr)
{
    RtcmWordAssembler fresh;
    RtcmWordAssembler& used = assembler != nullptr ? *assembler : fresh;
    std::vector<RtcmMessage> messages;
    for (const std::uint8_t b : rtcmBytesOf(bytes)) {
        if (used.feed(b) == RtcmWordAssembler::Feed::Complete) {
            messages.push_back(used.message());
        }
    }
    return messages;
}

std::vector<Header> referenceHeaders(const std::string& file)
{
    const Bytes text = readFile("rtcm2/" + file + ".gpsdecode.json");
    std::istringstream lines(textOf(text));
    std::vector<Header> headers;
    for (std::string line; std::getline(lines, line);) {
        if (line.empty()) {
            continue;
        }
        const auto json = nlohmann::json::parse(line);
        // The reference writes the Z-count in seconds: 0.6 s per unit.
        const int zCount = static_cast<int>(std::lround(json.at("zcount").get<double>() / 0.6));
        headers.emplace_back(json.at("type").get<int>(), json.at("station_id").get<int>(), zCount,
                             json.at("seqnum").get<int>(), json.at("length").get<int>());
    }
    return headers;
}

// Bits (first bit first) to the six-of-eight bytes that carry them.
Bytes bytesOfBits(const std::vector<int>& bits)
{
    Bytes bytes;
    for (std::size_t i = 0; i < bits.size(); i += 6) {
        std::uint8_t b = 0x40;
        for (std::size_t k = 0; k < 6 && i + k < bits.size(); ++k) {
            b |= static_cast<std::uint8_t>(bits[i + k] << k);
        }
        bytes.push_back(b);
    }
    return bytes;
}

class RtcmCapture : public ::testing::TestWithParam<const char*>
{ };

// The captures' messages do not all start on a byte boundary: this needs the bit-by-bit search
// and the ICD-GPS-200 parity to be right. Each message rebuilt from its words decodes alone to
// the same words.
TEST_P(RtcmCapture, HeadersMatchTheIndependentDecoderAndRebuiltMessagesDecodeAlike)
{
    const std::string file = GetParam();
    // The Z-count is resolved within half an hour of now.
    static constexpr GnssTime kNow{2000, 3600.0 * 5 + 100.0};
    RtcmWordAssembler assembler;
    assembler.setClock([] { return kNow; });
    std::vector<RtcmMessage> ours;
    for (const std::uint8_t b : rtcmBytesOf(readFile("rtcm2/" + file))) {
        if (assembler.feed(b) != RtcmWordAssembler::Feed::Complete) {
            continue;
        }
        ours.push_back(assembler.message());
        EXPECT_EQ(ours.back().time.week, 2000);
        EXPECT_NEAR(ours.back().time.seconds, kNow.seconds, 1800.0);
        EXPECT_NEAR(std::fmod(ours.back().time.seconds, 3600.0), ours.back().zCount * 0.6, 1e-6);
        const Bytes bytes = rebuilt(assembler);
        ASSERT_EQ(bytes.size(), static_cast<std::size_t>(ours.back().wordCount) * 5);
        ASSERT_EQ(rtcmBytesOf(bytes), bytes) << "only bytes 0x40-0x7F";
        const auto again = decodeAll(bytes);
        ASSERT_EQ(again.size(), 1u);
        EXPECT_EQ(again[0].words, ours.back().words);
        EXPECT_EQ(again[0].wordCount, ours.back().wordCount);
    }
    const auto reference = referenceHeaders(file);
    ASSERT_FALSE(reference.empty());
    std::size_t start = 0;
    while (start < ours.size() && headerOf(ours[start]) != reference.front()) {
        ++start;
    }
    ASSERT_LT(start, ours.size()) << "the reference's first message was not found";
    EXPECT_LE(start, 2u) << "the reference should not find the first message much later than we do";
    ASSERT_EQ(ours.size() - start, reference.size());
    for (std::size_t i = 0; i < reference.size(); ++i) {
        EXPECT_EQ(headerOf(ours[start + i]), reference[i]) << "message " << i;
        EXPECT_EQ(ours[start + i].wordCount, ours[start + i].length + 2);
    }
}

INSTANTIATE_TEST_SUITE_P(Captures, RtcmCapture, ::testing::Values("sample.rtcm2", "short.rtcm2", "rtcm2.bend.rtcm2"));

TEST(RtcmWordAssembler, FindsMessagesAtEveryBitOffset)
{
    const auto original = decodeAll(readFile("rtcm2/sample.rtcm2"));
    ASSERT_GT(original.size(), 100u);
    for (int shift = 1; shift < 6; ++shift) {
        std::vector<int> shifted(static_cast<std::size_t>(shift), 1);
        for (const std::uint8_t b : rtcmBytesOf(readFile("rtcm2/sample.rtcm2"))) {
            for (int i = 0; i < 6; ++i) {
                shifted.push_back((b >> i) & 1);
            }
        }
        const auto found = decodeAll(bytesOfBits(shifted));
        ASSERT_EQ(found.size(), original.size()) << "shift " << shift;
        EXPECT_EQ(headerOf(found.back()), headerOf(original.back()));
    }
}

TEST(RtcmWordAssembler, CorruptedWordDropsItsMessageAndTheNextPreambleResynchronises)
{
    const Bytes input = rtcmBytesOf(readFile("rtcm2/sample.rtcm2"));
    const auto original = decodeAll(input);
    ASSERT_GT(original.size(), 4u);
    // Find where the third message ends, then flip a bit in the middle of the fourth.
    RtcmWordAssembler probe;
    std::size_t thirdEnd = 0;
    for (int found = 0; found < 3; ++thirdEnd) {
        found += probe.feed(input[thirdEnd]) == RtcmWordAssembler::Feed::Complete ? 1 : 0;
    }
    Bytes corrupted = input;
    corrupted[thirdEnd + 12] ^= 0x04;

    RtcmWordAssembler assembler;
    const auto found = decodeAll(corrupted, &assembler);
    ASSERT_EQ(found.size(), original.size() - 1);
    EXPECT_EQ(headerOf(found[2]), headerOf(original[2]));
    EXPECT_EQ(headerOf(found[3]), headerOf(original[4]));
    EXPECT_EQ(assembler.parityErrors(), 1u);
    EXPECT_TRUE(assembler.synchronised());
}

// A 33-word message assembled by hand (header words, then 31 data words) and its bytes.
std::pair<RtcmMessage, Bytes> longMessage()
{
    RtcmMessage message;
    message.wordCount = 33;
    message.words[0] = (RtcmWordAssembler::kPreamble << 16) | (16u << 10) | 77u;
    message.words[1] = (1234u << 11) | (5u << 8) | (31u << 3) | 2u;
    for (int i = 2; i < 33; ++i) {
        message.words[static_cast<std::size_t>(i)] = 0x123456u * static_cast<std::uint32_t>(i) & 0xFFFFFF;
    }
    std::vector<int> bits;
    std::uint32_t previous = 0;
    for (int i = 0; i < message.wordCount; ++i) {
        previous = RtcmWordAssembler::encodeWord(message.words[static_cast<std::size_t>(i)], previous);
        // The word most significant bit first, six bits to a byte.
        for (int b = 29; b >= 0; --b)
            bits.push_back(static_cast<int>((previous >> b) & 1u));
    }
    return {message, bytesOfBits(bits)};
}

TEST(RtcmWordAssembler, LongMessageOverflowsTheRawBufferOnceAndIsStillRebuilt)
{
    const auto [message, bytes] = longMessage();
    int overflows = 0;
    RtcmWordAssembler assembler;
    assembler.setOverflowHandler([](void* count) { ++*static_cast<int*>(count); }, &overflows);
    const auto found = decodeAll(bytes, &assembler);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].words, message.words);
    EXPECT_EQ(overflows, 1) << "165 raw bytes do not fit in 160; reported once";
    EXPECT_EQ(rebuilt(assembler), bytes);
}

// The framer hands over whole runs of bytes: wherever they are cut, the same messages, state,
// raw bytes and overflow reports as byte by byte, through a corrupted word and a long message.
TEST(RtcmWordAssembler, RunsGiveWhatSingleBytesGive)
{
    Bytes input = rtcmBytesOf(readFile("rtcm2/sample.rtcm2"));
    input[input.size() / 3] ^= 0x04;
    // The long message, then the start of another that leaves raw bytes held.
    const Bytes longBytes = longMessage().second;
    input.insert(input.end(), longBytes.begin(), longBytes.end());
    input.insert(input.end(), longBytes.begin(), longBytes.begin() + 12);
    int singleOverflows = 0;
    RtcmWordAssembler single;
    single.setOverflowHandler([](void* count) { ++*static_cast<int*>(count); }, &singleOverflows);
    const auto expected = decodeAll(input, &single);

    for (const std::size_t cut : {std::size_t{1}, std::size_t{4}, std::size_t{77}, input.size()}) {
        int overflows = 0;
        RtcmWordAssembler assembler;
        assembler.setOverflowHandler([](void* count) { ++*static_cast<int*>(count); }, &overflows);
        std::vector<RtcmMessage> found;
        for (std::size_t at = 0; at < input.size();) {
            const auto run = assembler.feedRun(std::span(input).subspan(at, std::min(cut, input.size() - at)));
            ASSERT_GT(run.taken, 0u);
            at += run.taken;
            if (run.complete) {
                found.push_back(assembler.message());
            }
        }
        ASSERT_EQ(found.size(), expected.size()) << "cut " << cut;
        for (std::size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].words, expected[i].words) << "cut " << cut << " message " << i;
        }
        EXPECT_EQ(assembler.parityErrors(), single.parityErrors());
        EXPECT_EQ(overflows, singleOverflows);
        EXPECT_TRUE(std::ranges::equal(assembler.rawBytes(), single.rawBytes()));
        EXPECT_FALSE(assembler.rawBytes().empty());
    }
}

TEST(GnssTime, ResolvesToTheTimeWithinHalfAPeriodCarryingAndBorrowingWeeks)
{
    // Now, the time within the hour, the time it resolves to.
    const std::vector<std::tuple<GnssTime, double, GnssTime>> cases{
        {{100, 7210.0}, 20.0, {100, 7220.0}},  {{100, 7210.0}, 3590.0, {100, 7190.0}}, // just before the hour
        {{100, 10790.0}, 5.0, {100, 10805.0}}, // just after the next hour
        {{100, 604790.0}, 10.0, {101, 10.0}}, // carries into the next week
        {{100, 5.0}, 3595.0, {99, 604795.0}}, // borrows from the week
        {{0, 5.0}, 3595.0, {65535, 604795.0}}, // the week number wraps
    };
    for (const auto& [now, timeOfPeriod, expected] : cases) {
        const GnssTime t = GnssTime::resolve(timeOfPeriod, 3600.0, now);
        EXPECT_EQ(t.week, expected.week);
        EXPECT_DOUBLE_EQ(t.seconds, expected.seconds);
    }
    const GnssTime absurd = GnssTime::resolve(1e300, 1e-300, GnssTime{7, 8.0});
    EXPECT_EQ(absurd.week, 7) << "absurd input leaves the time alone instead of hanging";
}

} // namespace
} // namespace zeb::messages::test
