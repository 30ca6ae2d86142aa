#include "tools/sim/CapturePlayer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

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

TEST(CapturePlayer, EpochPaceSendsOneEpochPerSecondAndLoops)
{
    CapturePlayer player;
    player.add(kTwoEpochs);
    player.restart(t0);
    EXPECT_EQ(takeAll(player, t0), "$GPRMC,1*00\r\n$GPGGA,1*00\r\n");
    EXPECT_EQ(takeAll(player, t0 + 999ms), "");
    EXPECT_EQ(takeAll(player, t0 + 1s), "$GPRMC,2*00\r\n$GPGGA,2*00\r\n");
    EXPECT_EQ(player.loops(), 1u);
    EXPECT_EQ(takeAll(player, t0 + 2s), "$GPRMC,1*00\r\n$GPGGA,1*00\r\n");
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

TEST(CapturePlayer, CapturesPlayInOrderAndARestartDoesNotBurst)
{
    CapturePlayer player;
    player.add("$GPGGA,first\n");
    player.add("$GNRMC,second\n");
    player.restart(t0);
    EXPECT_EQ(takeAll(player, t0), "$GPGGA,first\r\n");
    // Paused for a minute: the next epoch comes at once, the one after a second later.
    player.restart(t0 + 60s);
    EXPECT_EQ(takeAll(player, t0 + 60s), "$GNRMC,second\r\n");
    EXPECT_EQ(takeAll(player, t0 + 60s + 999ms), "");
    EXPECT_EQ(takeAll(player, t0 + 61s), "$GPGGA,first\r\n");
}

TEST(CapturePlayer, UnreadableAndEmptyCapturesAreRefused)
{
    CapturePlayer player;
    std::string error;
    EXPECT_FALSE(player.load("/no/such/capture.nmea", error));
    EXPECT_NE(error.find("capture.nmea"), std::string::npos);
}

// The folder of the captures: ZEB500_SHARED_DATA, which CTest sets.
std::string captures()
{
    if (const char* dir = std::getenv("ZEB500_SHARED_DATA"))
        return dir;
    const char* source = std::getenv("ZEB500_SOURCE_DIR");
    return std::string(source ? source : ".") + "/data/captures";
}

// One loop of a real log, paced by epochs: every line comes back in order, with one epoch per
// "$GPRMC" (its first type) and a second between epochs.
TEST(CapturePlayer, RealLogPlaysInOrderWithOneEpochPerSecond)
{
    const std::string path = captures() + "/nmea/isync.nmea";
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    std::vector<std::string> lines;
    std::size_t epochs = 0;
    for (std::string line; std::getline(in, line);) {
        while (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        epochs += line.rfind("$GPRMC,", 0) == 0;
        lines.push_back(line + "\r\n");
    }
    CapturePlayer player;
    std::string error;
    ASSERT_TRUE(player.load(path, error)) << error;
    ASSERT_EQ(player.pieceCount(), lines.size());
    player.restart(t0);
    std::size_t seen = 0;
    std::size_t starts = 0;
    for (std::size_t second = 0; seen < lines.size(); ++second) {
        ASSERT_LT(second, lines.size());
        const auto now = t0 + std::chrono::seconds(second);
        while (seen < lines.size()) {
            const auto piece = player.take(now);
            if (!piece)
                break;
            ASSERT_EQ(piece->bytes, lines[seen]) << "line " << seen;
            starts += piece->epochStart;
            ++seen;
        }
        EXPECT_EQ(starts, second + 1);
    }
    EXPECT_EQ(starts, epochs);
}

} // namespace
} // namespace zeb::tools::sim
