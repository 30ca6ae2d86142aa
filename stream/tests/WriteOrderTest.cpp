// Every message written to a stream leaves whole and in order, whoever writes it: the owner's
// threads, and the receive thread answering pings in between.
#include "platform/MemorySettings.h"
#include "platform/Settings.h"
#include "stream/IOSTStream.h"
#include "stream/serial/SerialTransport.h"
#include "testsupport/SocatPair.h"
#include "testsupport/StreamTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace zeb::stream {
namespace {

using namespace std::chrono_literals;

constexpr int kFramesPerWriter = 20;
constexpr std::size_t kInnerBytes = 600;

// A binary frame whose inner bytes all need escaping, so that it leaves in several pieces.
std::string frame()
{
    return "\xFE"
           "R"
        + std::string(kInnerBytes, '\xFF') + "\xFF";
}

struct Parsed
{
    int frames = 0;
    int answers = 0;
    bool intact = true;
};

// Reads the line as whole escaped frames and whole ping answers; anything else is a message
// cut by another. An unfinished message at the end is left for more bytes.
Parsed parse(const std::string& line, const std::string& answer)
{
    static const std::string whole = testing::textOf(testing::escapedFrame(testing::bytesOf(frame())));
    Parsed parsed;
    for (std::size_t at = 0; at < line.size();) {
        const std::string& expected = line[at] == '\xFE' ? whole : answer;
        const std::size_t have = std::min(expected.size(), line.size() - at);
        if (line.compare(at, have, expected, 0, have) != 0) {
            parsed.intact = false;
            return parsed;
        }
        if (have < expected.size())
            return parsed;
        ++(line[at] == '\xFE' ? parsed.frames : parsed.answers);
        at += have;
    }
    return parsed;
}

TEST(WriteOrder, EscapedFramesFromTwoWritersAndPingAnswersNeverInterleave)
{
    serial::testing::SocatPair pair;
    ASSERT_TRUE(pair.ready()) << "socat could not make a pseudo-terminal pair";
    serial::registerSerialTransport();
    auto settings = std::make_shared<platform::MemorySettings>();
    settings->writeText("SerialPorts", "COM7", pair.endA());
    platform::Settings::install(settings);
    serial::testing::PeerLine far(pair.endB());
    IOSTStream stream(IOSTStream::kAnonymous);
    ASSERT_EQ(stream.open("/dev/serial/com7,115200,8,1.0,N", ""), StreamStatus::Ok);
    const std::string answer = "$PKVR,RPC,PING," + stream.address() + "\r\n";

    // Each writer lets the line carry what was written before it writes again, so that the
    // pings come in while frames are on their way; they go on until an answer was seen.
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    const auto inTime = [&] { return std::chrono::steady_clock::now() < deadline; };
    std::atomic<int> answersSeen{0};
    std::atomic<int> framesSeen{0};
    std::atomic<bool> broken{false};
    std::atomic<int> framesWritten{0};
    std::atomic<int> writersLeft{2};
    const auto writer = [&] {
        const std::string bytes = frame();
        for (int i = 0; (i < kFramesPerWriter || answersSeen.load() == 0) && !broken && inTime(); ++i) {
            const int upTo = ++framesWritten;
            stream.write(bytes);
            while (framesSeen.load() < upTo && !broken && inTime())
                std::this_thread::sleep_for(1ms);
        }
        --writersLeft;
    };
    std::thread first(writer);
    std::thread second(writer);
    std::thread pinger([&] {
        while (writersLeft.load() > 0) {
            far.writeAll("$PKVR,RPC,PING\r\n");
            std::this_thread::sleep_for(1ms);
        }
    });

    std::string line;
    Parsed parsed;
    while (parsed.intact && (writersLeft.load() > 0 || parsed.frames < framesWritten.load()) && inTime()) {
        line += far.read(1, 20ms);
        parsed = parse(line, answer);
        answersSeen = parsed.answers;
        framesSeen = parsed.frames;
        broken = !parsed.intact;
    }
    first.join();
    second.join();
    pinger.join();

    EXPECT_TRUE(parsed.intact) << "a message was cut by another one";
    EXPECT_EQ(parsed.frames, framesWritten.load()) << "frames that arrived whole within the time limit";
    EXPECT_GT(parsed.answers, 0) << "the pings were answered in between";
}

} // namespace
} // namespace zeb::stream
