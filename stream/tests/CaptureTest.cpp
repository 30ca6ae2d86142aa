// Regression runs over receiver captures: what subscribers get must not depend on how the
// bytes were cut into blocks, and no byte may be lost.
#include "testsupport/StreamTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

namespace zeb::stream {
namespace {

using messages::MessageKind;
using testing::Bytes;
using testing::Recorder;

std::vector<testing::Seen> feedInBlocks(const Bytes& capture, std::size_t blockSize)
{
    Recorder recorder;
    IOSTStream stream(IOSTStream::kAnonymous);
    recorder.subscribeTo(stream);
    for (std::size_t at = 0; at < capture.size(); at += blockSize)
        stream.feed(std::span(capture).subspan(at, std::min(blockSize, capture.size() - at)));
    EXPECT_EQ(stream.totalReceived(), capture.size());
    std::vector<testing::Seen> seen;
    for (const auto& entry : recorder.of(StreamEventCode::Receive))
        seen.push_back({entry.kind, entry.type, entry.bytes});
    return seen;
}

// Every complete line holding a "$" gives one sentence, from that "$" to the line feed.
std::vector<std::string> sentencesOf(const Bytes& capture)
{
    std::vector<std::string> sentences;
    const std::string text = testing::textOf(capture);
    std::size_t lineStart = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', lineStart)) {
        const std::size_t dollar = text.find('$', lineStart);
        if (dollar < end)
            sentences.push_back(text.substr(dollar, end + 1 - dollar));
        lineStart = end + 1;
    }
    return sentences;
}

TEST(Captures, NmeaCapturesArriveWholeHoweverTheyAreCut)
{
    const Bytes capture = testing::concatenatedCaptures("nmea", ".nmea");
    ASSERT_GT(capture.size(), 100000u) << "captures not found under " << testsupport::captureFolder();

    const auto reference = feedInBlocks(capture, capture.size());
    std::vector<std::string> sentences;
    std::string all;
    for (const auto& seen : reference) {
        all += seen.bytes;
        if (seen.kind == MessageKind::Telecommand) {
            EXPECT_EQ(seen.type, messages::message_type::Nmea);
            sentences.push_back(seen.bytes);
        }
    }
    EXPECT_EQ(sentences, sentencesOf(capture));
    const std::string input = testing::textOf(capture);
    ASSERT_LE(all.size(), input.size());
    EXPECT_EQ(all, input.substr(0, all.size())) << "every byte handed out, in order";
    EXPECT_EQ(input.find('\n', all.size()), std::string::npos) << "only an unfinished line may stay held";

    // Bytes that form no frame are handed out whenever a block runs out, so only their
    // concatenation is the same for every cut; the framed messages are the same one by one.
    const auto framed = [](const std::vector<testing::Seen>& seen) {
        std::vector<testing::Seen> kept;
        std::copy_if(seen.begin(), seen.end(), std::back_inserter(kept),
                     [](const testing::Seen& s) { return s.kind != MessageKind::Unknown; });
        return kept;
    };
    const auto reframed = framed(reference);
    for (const std::size_t blockSize : {1u, 7u, 255u, 4096u, 12067u, 20000u}) {
        SCOPED_TRACE(blockSize);
        const auto cut = feedInBlocks(capture, blockSize);
        std::string cutAll;
        for (const auto& seen : cut)
            cutAll += seen.bytes;
        EXPECT_TRUE(cutAll == all) << "bytes lost or reordered";
        const auto cutFramed = framed(cut);
        const auto [ours, theirs] = std::mismatch(cutFramed.begin(), cutFramed.end(), reframed.begin(), reframed.end());
        EXPECT_TRUE(ours == cutFramed.end() && theirs == reframed.end())
            << "first difference at message " << (ours - cutFramed.begin()) << " of " << reframed.size() << ": "
            << ::testing::PrintToString(ours == cutFramed.end() ? testing::Seen{} : *ours) << " instead of "
            << ::testing::PrintToString(theirs == reframed.end() ? testing::Seen{} : *theirs);
    }
}

} // namespace
} // namespace zeb::stream
