// Starts the real zeb500-sim and talks to it over TCP through the project's own stream. One run covers the
// simulator's parts end to end: playing, answering and the faults it is told to inject (what each fault does to the
// bytes is the fault injector's tests' part; its disk-on-chip tree is served to the command-line tool's test).

#include "stream/IOSTStream.h"
#include "stream/StreamCallback.h"
#include "stream/StreamEvent.h"
#include "stream/socket/SocketTransports.h"
#include "testsupport/CaptureFiles.h"
#include "testsupport/PortPrintingProcess.h"
#include "testsupport/TempFolder.h"
#include "testsupport/WaitFor.h"
#include "tools/sim/FrameSource.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

namespace zeb::tools::sim {
namespace {

using namespace std::chrono_literals;

using zeb::testsupport::eventually;

// The receiving side: keeps the texts of the first messages and watches for the answers.
struct Client
{
    static constexpr std::size_t kKept = 1000;

    static void onEvent(void* context, stream::IOSTStream*, stream::StreamEventCode code, std::intptr_t argument)
    {
        auto& self = *static_cast<Client*>(context);
        if (code == stream::StreamEventCode::Close) {
            ++self.closes;
            return;
        }
        if (code != stream::StreamEventCode::Receive)
            return;
        std::string text(stream::eventArgument(argument).text());
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        ++self.received;
        self.lastReceive = std::chrono::steady_clock::now().time_since_epoch().count();
        if (text.rfind("$PKVR,RPC,PING,", 0) == 0)
            self.pings = self.pings + 1;
        if (text.rfind("$PKVR,ACK,RESET*", 0) == 0)
            self.acks = self.acks + 1;
        const std::lock_guard lock(self.mutex);
        if (self.texts.size() < kKept)
            self.texts.push_back(text);
        if (self.afterQuery)
            self.answers.push_back(text);
    }

    std::vector<std::string> kept()
    {
        const std::lock_guard lock(mutex);
        return texts;
    }

    std::mutex mutex;
    std::vector<std::string> texts;
    std::vector<std::string> answers;
    bool afterQuery = false;
    std::atomic<std::uint64_t> received{0};
    std::atomic<std::int64_t> lastReceive{0};
    std::atomic<int> pings{0};
    std::atomic<int> acks{0};
    std::atomic<int> closes{0};
};

// The address of a client stream to the simulator's port.
std::string clientAddress(unsigned port)
{
    stream::socket::registerSocketTransports();
    return "/dev/client/localhost/" + std::to_string(port);
}

TEST(SimulatorProcess, PlaysInOrderAnswersQueriesAndDropsConnections)
{
    const std::string capture = (testsupport::captureFolder() / "nmea" / "isync.nmea").string();
    std::vector<std::string> lines;
    std::ifstream in(capture, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    ASSERT_GT(lines.size(), 100u);
    // Bursts of 50 ms at full speed, then 2 s of silence in which the answers stand out.
    testsupport::PortPrintingProcess sim({ZEB500_SIM_EXECUTABLE, "--port", "0", "--pace", "max", "--stall", "2",
                                          "--stall-every", "0.05", "--drop-after", "1", capture});
    ASSERT_GT(sim.port(), 0u);

    Client client;
    stream::IOSTStream link(stream::IOSTStream::kAnonymous);
    link.subscribeCallback(&Client::onEvent, &client);
    const std::string address = clientAddress(sim.port());
    ASSERT_EQ(link.open(address, "r+b"), stream::StreamStatus::Ok);
    const auto connected = std::chrono::steady_clock::now();
    const int closesBefore = client.closes; // opening closes first

    // The log arrives from its first line, in order, looping at its end.
    ASSERT_TRUE(eventually([&] { return client.kept().size() >= 3 * lines.size(); }));
    const auto texts = client.kept();
    for (std::size_t i = 0; i < 3 * lines.size(); ++i)
        ASSERT_EQ(texts[i], lines[i % lines.size()]) << "message " << i;

    // Once the burst is over, queries are answered.
    ASSERT_TRUE(eventually([&] {
        const auto last
            = std::chrono::steady_clock::time_point(std::chrono::steady_clock::duration(client.lastReceive));
        return std::chrono::steady_clock::now() - last > 100ms;
    }));
    {
        const std::lock_guard lock(client.mutex);
        client.afterQuery = true;
    }
    link.write(std::string_view("$ECGPQ,GSV\r\n"));
    link.write(stream::IOSTStream::kPingRequest);
    link.write(std::string_view("$PKVR,RESET\r\n"));
    ASSERT_TRUE(eventually([&] { return client.pings >= 1 && client.acks >= 1; }));
    {
        const std::lock_guard lock(client.mutex);
        std::vector<std::string> gsv;
        for (const auto& answer : client.answers) {
            if (answer.rfind("$GPGSV,", 0) != 0)
                continue;
            gsv.push_back(answer);
            EXPECT_NE(std::find(lines.begin(), lines.end(), answer), lines.end()) << answer;
        }
        // A whole group of the log (some of its epochs lack a sentence or two): up to "4,4".
        ASSERT_GE(gsv.size(), 2u);
        EXPECT_EQ(gsv.back().rfind("$GPGSV,4,4,", 0), 0u) << gsv.back();
    }

    // The connection goes after a second; a new one gets the log again.
    ASSERT_TRUE(eventually([&] { return client.closes > closesBefore; }, 3000ms));
    EXPECT_GE(std::chrono::steady_clock::now() - connected, 900ms);
    const auto before = client.received.load();
    ASSERT_EQ(link.open(address, "r+b"), stream::StreamStatus::Ok);
    EXPECT_TRUE(eventually([&] { return client.received > before + 100; }));
    link.close();

    EXPECT_EQ(sim.stop(), 0);
}

// The generated frames (binary, text and UHF) among the kept messages.
std::vector<std::string> framesOf(const std::vector<std::string>& texts)
{
    std::vector<std::string> frames;
    for (const auto& text : texts)
        if (!text.empty() && (text.front() == '\x02' || text.front() == '\xFE'))
            frames.push_back(text);
    return frames;
}

TEST(SimulatorProcess, MixedFramesArriveWholeAndInOrderThroughGarbageStallsAndReconnects)
{
    const std::string capture = (testsupport::captureFolder() / "nmea" / "isync.nmea").string();
    testsupport::PortPrintingProcess sim({ZEB500_SIM_EXECUTABLE, "--port", "0", "--pace", "400", "--frames", "2",
                                          "--garbage", "0.3", "--stall", "0.2", "--stall-every", "0.3", "--drop-after",
                                          "1", capture});
    ASSERT_GT(sim.port(), 0u);

    Client client;
    stream::IOSTStream link(stream::IOSTStream::kAnonymous);
    link.subscribeCallback(&Client::onEvent, &client);
    const std::string address = clientAddress(sim.port());
    ASSERT_EQ(link.open(address, "r+b"), stream::StreamStatus::Ok);
    const int closesBefore = client.closes;
    ASSERT_TRUE(testsupport::waitFor([&] { return client.closes > closesBefore; }, "the dropped connection"));
    const std::size_t beforeReconnect = framesOf(client.kept()).size();
    ASSERT_GT(beforeReconnect, 0u);
    ASSERT_EQ(link.open(address, "r+b"), stream::StreamStatus::Ok);
    ASSERT_TRUE(testsupport::waitFor(
        [&] { return framesOf(client.kept()).size() > beforeReconnect + 2 * FrameSource::kRoundFrames; },
        "frames on the second connection"));
    link.close();
    EXPECT_EQ(sim.stop(), 0);

    // Across the reconnection, every frame of the cycle, none lost, doubled or damaged.
    FrameSource expected(FrameSource::Escapes::Off);
    const auto frames = framesOf(client.kept());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        expected.next();
        ASSERT_EQ(frames[i], expected.message()) << "frame " << i;
    }
}

TEST(SimulatorProcess, SinkStoresWhatConnectionsSendUpToItsLimit)
{
    testsupport::TempFolder folder;
    const auto file = folder / "sink.bin";
    testsupport::PortPrintingProcess sim(
        {ZEB500_SIM_EXECUTABLE, "--port", "0", "--sink", file.string(), "--sink-limit", "1000"});
    ASSERT_GT(sim.port(), 0u);
    const auto size = [&] {
        std::error_code error;
        const auto bytes = std::filesystem::file_size(file, error);
        return error ? 0 : bytes;
    };

    stream::IOSTStream link(stream::IOSTStream::kAnonymous);
    const std::string address = clientAddress(sim.port());
    std::string sent;
    for (const std::size_t count : {600, 900}) {
        const std::string bytes = std::string(count, static_cast<char>('a' + sent.size() % 26)) + "\xFE\xFD\n";
        sent += bytes;
        ASSERT_EQ(link.open(address, "r+b"), stream::StreamStatus::Ok);
        ASSERT_EQ(link.write(std::string_view(bytes)), bytes.size());
        ASSERT_TRUE(testsupport::waitFor([&] { return size() >= std::min<std::size_t>(sent.size(), 1000); },
                                         "the sink's file to grow"));
        link.close();
    }
    EXPECT_EQ(sim.stop(), 0);
    EXPECT_EQ(folder.read("sink.bin"), sent.substr(0, 1000));
}

} // namespace
} // namespace zeb::tools::sim
