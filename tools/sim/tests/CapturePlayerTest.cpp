#include "tools/sim/CapturePlayer.h"

#include "testsupport/CaptureFiles.h"

#include <gtest/gtest.h>

namespace zeb::tools::sim {
namespace {

using namespace std::chrono_literals;
using Clock = CapturePlayer::Clock;

const Clock::time_point t0{std::chrono::seconds(1000)};

// Everything due at `now`, as one text.
std::string takeAll(CapturePlayer& player, Clock::time_point now, std::size_t limit = 100)
{
    std::string out;
    for (std::size_t i = 0; i < limit; ++i) {
        const auto piece = player.take(now);
        if (!piece)
            break;
        out.append(piece->bytes);
    }
    return out;
}

constexpr std::string_view kTwoEpochs = "$GPRMC,1*00\n$GPGGA,1*00\n$GPRMC,2*00\r\n$GPGGA,2*00\r\n";

// One epoch per second, the captures in the order they were added, looping; after a pause the next epoch comes at
// once and the one after a second later, not in a burst.
TEST(CapturePlayer, EpochPacePlaysTheCapturesInOrderAndLoops)
{
    CapturePlayer player;
    player.add(kTwoEpochs);
    player.add("$GNRMC,3*00\n");
    player.restart(t0);
    EXPECT_EQ(takeAll(player, t0), "$GPRMC,1*00\r\n$GPGGA,1*00\r\n");
    EXPECT_EQ(takeAll(player, t0 + 999ms), "");
    EXPECT_EQ(takeAll(player, t0 + 1s), "$GPRMC,2*00\r\n$GPGGA,2*00\r\n");
    EXPECT_EQ(takeAll(player, t0 + 2s), "$GNRMC,3*00\r\n");
    EXPECT_EQ(player.loops(), 1u);
    player.restart(t0 + 60s);
    EXPECT_EQ(takeAll(player, t0 + 60s), "$GPRMC,1*00\r\n$GPGGA,1*00\r\n");
    EXPECT_EQ(takeAll(player, t0 + 60s + 999ms), "");
    EXPECT_EQ(takeAll(player, t0 + 61s), "$GPRMC,2*00\r\n$GPGGA,2*00\r\n");
}

TEST(CapturePlayer, LinePaceSpacesLinesEvenly)
{
    Pace pace;
    pace.mode = Pace::Mode::Lines;
    pace.linesPerSecond = 4;
    CapturePlayer player(pace);
    player.add(kTwoEpochs);
    player.restart(t0);
    EXPECT_EQ(takeAll(player, t0), "$GPRMC,1*00\r\n");
    EXPECT_EQ(takeAll(player, t0 + 250ms), "$GPGGA,1*00\r\n");
    EXPECT_EQ(takeAll(player, t0 + 1s), "$GPRMC,2*00\r\n$GPGGA,2*00\r\n$GPRMC,1*00\r\n");
}

TEST(CapturePlayer, BinaryCapturesGoInChunksAtTheByteRate)
{
    Pace pace;
    pace.bytesPerSecond = 100; // chunks of 10 bytes, one every 100 ms
    CapturePlayer player(pace);
    const std::string bytes = "\x66\x40\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D\x0E\x0F\x10\x11\x12\x13\x14"
                              "\x15\x16\x17";
    player.add(bytes);
    ASSERT_EQ(player.pieceCount(), 3u);
    player.restart(t0);
    std::string got = takeAll(player, t0);
    EXPECT_EQ(got.size(), 10u);
    got += takeAll(player, t0 + 100ms);
    got += takeAll(player, t0 + 200ms);
    EXPECT_EQ(got, bytes);
    const auto again = player.take(t0 + 250ms);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->bytes, bytes.substr(0, 10));
}

TEST(CapturePlayer, UnreadableAndEmptyCapturesAreRefused)
{
    CapturePlayer player;
    std::string error;
    EXPECT_FALSE(player.load("/no/such/capture.nmea", error));
    EXPECT_NE(error.find("capture.nmea"), std::string::npos);
}

// One loop of a real log, paced by epochs: one epoch per "$GPRMC" (its first type) and a second
// between epochs. The order of the lines is checked end to end against the simulator process.
TEST(CapturePlayer, RealLogStartsOneEpochPerSecond)
{
    const auto path = testsupport::captureFolder() / "nmea" / "isync.nmea";
    const std::string text = "\n" + testsupport::readFile(path);
    std::size_t epochs = 0;
    for (std::size_t at = text.find("\n$GPRMC,"); at != std::string::npos; at = text.find("\n$GPRMC,", at + 1))
        ++epochs;
    CapturePlayer player;
    std::string error;
    ASSERT_TRUE(player.load(path.string(), error)) << error;
    player.restart(t0);
    std::size_t starts = 0;
    for (std::size_t second = 0; second < epochs; ++second) {
        const auto now = t0 + std::chrono::seconds(second);
        for (auto piece = player.take(now); piece; piece = player.take(now))
            starts += piece->epochStart;
        EXPECT_EQ(starts, second + 1);
    }
    EXPECT_GT(epochs, 10u);
}

} // namespace
} // namespace zeb::tools::sim
