#include "tools/sim/FrameSource.h"

#include "messages/MessageFramer.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zeb::tools::sim {
namespace {

using messages::MessageKind;

char letterOf(std::string_view message, MessageKind kind)
{
    return message[kind == MessageKind::SVar ? 4 : 1];
}

// What a line carries, escaped or not, the framer hands out as the frame the codec wrote.
TEST(FrameSource, EveryFrameIsFramedBackAsTheSameMessage)
{
    for (const auto escapes : {FrameSource::Escapes::On, FrameSource::Escapes::Off}) {
        FrameSource source(escapes);
        messages::MessageFramer framer;
        std::string letters;
        for (std::size_t i = 0; i < 3 * FrameSource::kRoundFrames; ++i) {
            const std::string wire(source.next());
            const std::string message(source.message());
            if (source.kind() == MessageKind::SBin) {
                const std::string inner = message.substr(1, message.size() - 2);
                EXPECT_TRUE(std::any_of(inner.begin(), inner.end(), [](char c) { return std::uint8_t(c) >= 0xFD; }))
                    << "frame " << i << " has nothing to escape";
                EXPECT_EQ(wire != message, escapes == FrameSource::Escapes::On) << "frame " << i;
            }
            framer.append({reinterpret_cast<const std::uint8_t*>(wire.data()), wire.size()});
            const auto result = framer.step();
            ASSERT_EQ(result.status, messages::ReadStatus::Complete) << "frame " << i;
            EXPECT_EQ(result.kind, source.kind()) << "frame " << i;
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(result.data), result.length), message) << "frame " << i;
            if (i < FrameSource::kRoundFrames)
                letters += letterOf(message, source.kind());
        }
        EXPECT_EQ(letters, "AAEESSUURRCX");
        EXPECT_EQ(framer.held(), 0u);
        EXPECT_EQ(source.rounds(), 3u);
    }
}

} // namespace
} // namespace zeb::tools::sim
