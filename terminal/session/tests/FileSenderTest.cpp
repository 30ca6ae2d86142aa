#include "terminal/session/FileSender.h"

#include "platform/MemorySettings.h"
#include "platform/Settings.h"
#include "stream/IOSTStream.h"
#include "stream/StreamEvent.h"
#include "stream/StreamListener.h"
#include "stream/serial/SerialTransport.h"
#include "testsupport/SocatPair.h"
#include "testsupport/WaitFor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

namespace zeb::terminal::test {
namespace {

using testsupport::waitFor;
using State = FileSender::State;

std::string fileOf(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 251);
    return bytes;
}

// The terminal's part: pushes the file's blocks while the sender has room.
void pushWhileRoom(FileSender& sender, const std::string& file, std::size_t& at)
{
    while (at < file.size() && sender.hasRoom()) {
        const std::size_t count = std::min<std::size_t>(1024, file.size() - at);
        sender.push({reinterpret_cast<const std::uint8_t*>(file.data() + at), count});
        at += count;
    }
    if (at == file.size())
        sender.finishInput();
}

// Counts the bytes the stream tells its subscribers it sent.
class ShownAsSent : public stream::StreamListener
{
public:
    void onSend(const stream::StreamEvent& event) override { bytes += event.length(); }
    std::atomic<std::uint64_t> bytes{0};
};

TEST(FileSender, EveryByteArrivesInOrderThroughAPseudoTerminal)
{
    stream::serial::registerSerialTransport();
    auto settings = std::make_shared<platform::MemorySettings>();
    platform::Settings::install(settings);
    stream::serial::testing::SocatPair pair;
    ASSERT_TRUE(pair.ready()) << "socat could not make a pseudo-terminal pair";
    settings->writeText("SerialPorts", "COM7", pair.endA());
    stream::serial::testing::PeerLine line(pair.endB());
    stream::IOSTStream link(stream::IOSTStream::kAnonymous);
    ASSERT_EQ(link.open("/dev/serial/com7,115200,8,1.0,N", ""), stream::StreamStatus::Ok);

    const std::string file = fileOf(256 * 1024);
    ShownAsSent shown;
    link.subscribeListener(&shown);
    FileSender sender(link, file.size(), [] {});
    ASSERT_EQ(sender.start(), 0);
    std::size_t at = 0;
    std::string received;
    ASSERT_TRUE(waitFor(
        [&] {
            pushWhileRoom(sender, file, at);
            received += line.read(file.size() - received.size(), std::chrono::milliseconds(1));
            return received.size() >= file.size() && sender.state() == State::Done;
        },
        "the whole file at the far end", std::chrono::seconds(60)));
    EXPECT_TRUE(received == file) << "bytes lost or out of order";
    EXPECT_EQ(shown.bytes, file.size()) << "shown as sent, piece by piece as the line took them";
    link.close();
    platform::Settings::install(std::make_shared<platform::MemorySettings>());
}

} // namespace
} // namespace zeb::terminal::test
