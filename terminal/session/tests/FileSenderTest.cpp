#include "terminal/session/FileSender.h"

#include "platform/MemorySettings.h"
#include "platform/Settings.h"
#include "stream/IOSTStream.h"
#include "stream/StreamEvent.h"
#include "stream/StreamListener.h"
#include "stream/serial/SerialTransport.h"
#include "stream/socket/SocketTransports.h"
#include "testsupport/LoopbackPeer.h"
#include "testsupport/SocatPair.h"
#include "testsupport/WaitFor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

namespace zeb::terminal::test {
namespace {

using testsupport::waitFor;

std::string fileOf(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 251);
    return bytes;
}

// Counts the bytes the stream tells its subscribers it sent.
class ShownAsSent : public stream::StreamListener
{
public:
    void onSend(const stream::StreamEvent& event) override { bytes += event.length(); }
    std::atomic<std::uint64_t> bytes{0};
};

// The terminal's part: a file's blocks, pushed while the sender has room.
class Feeder
{
public:
    Feeder(FileSender& sender, std::string file)
        : m_sender(sender)
        , m_file(std::move(file))
    {
    }
    void step()
    {
        while (m_at < m_file.size() && m_sender.hasRoom()) {
            const std::size_t count = std::min<std::size_t>(1024, m_file.size() - m_at);
            m_sender.push({reinterpret_cast<const std::uint8_t*>(m_file.data() + m_at), count});
            m_at += count;
        }
        if (m_at == m_file.size())
            m_sender.finishInput();
    }
    bool stalled()
    {
        step();
        return !m_sender.hasRoom() && m_sender.state() == FileSender::State::Sending;
    }
    bool done()
    {
        step();
        return m_sender.state() != FileSender::State::Sending;
    }

private:
    FileSender& m_sender;
    const std::string m_file;
    std::size_t m_at = 0;
};

class FileSenderOverTcp : public ::testing::Test
{
protected:
    void SetUp() override
    {
        stream::socket::registerSocketTransports();
        peer.holdReading(true);
        ASSERT_EQ(link.open(peer.address(), "rb"), stream::StreamStatus::Ok);
        ASSERT_TRUE(waitFor([&] { return peer.connected(); }, "the peer's connection"));
        link.subscribeListener(&shown);
    }

    testsupport::LoopbackPeer peer;
    stream::IOSTStream link{stream::IOSTStream::kAnonymous};
    ShownAsSent shown;
    const std::string file = fileOf(4 << 20);
    FileSender sender{link, file.size(), [] {}};
    Feeder feeder{sender, file};
};

TEST_F(FileSenderOverTcp, WaitsForAPeerThatReadsOnlyLaterAndLosesNothing)
{
    ASSERT_EQ(sender.start(), 0);
    ASSERT_TRUE(waitFor([&] { return feeder.stalled(); }, "the sender to wait behind a full socket"));
    peer.holdReading(false);
    ASSERT_TRUE(waitFor([&] { return feeder.done(); }, "the whole file to leave", std::chrono::seconds(60)));
    EXPECT_EQ(sender.state(), FileSender::State::Done);
    EXPECT_EQ(sender.sent(), file.size());
    EXPECT_EQ(shown.bytes, file.size());
    ASSERT_TRUE(waitFor([&] { return peer.received().size() == file.size(); }, "the peer to read it all"));
    EXPECT_TRUE(peer.received() == file) << "bytes lost or out of order";
}

TEST_F(FileSenderOverTcp, CancelEndsTheWaitAndOnlyWhatLeftIsShown)
{
    ASSERT_EQ(sender.start(), 0);
    ASSERT_TRUE(waitFor([&] { return feeder.stalled(); }, "the sender to wait behind a full socket"));
    sender.cancel();
    ASSERT_TRUE(waitFor([&] { return sender.state() == FileSender::State::Cancelled; }, "the cancel"));
    const std::uint64_t sent = sender.sent();
    EXPECT_LT(sent, file.size());
    EXPECT_EQ(shown.bytes, sent);
    peer.holdReading(false);
    ASSERT_TRUE(waitFor([&] { return peer.received().size() == sent; }, "the accepted bytes to arrive"));
    EXPECT_TRUE(peer.received() == file.substr(0, sent));
}

TEST(FileSenderOverSerial, EveryByteArrivesInOrderThroughAPseudoTerminal)
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
    FileSender sender(link, file.size(), [] {});
    Feeder feeder(sender, file);
    ASSERT_EQ(sender.start(), 0);
    std::string received;
    ASSERT_TRUE(waitFor(
        [&] {
            feeder.step();
            received += line.read(file.size() - received.size(), std::chrono::milliseconds(1));
            return received.size() >= file.size();
        },
        "the whole file at the far end", std::chrono::seconds(60)));
    EXPECT_TRUE(received == file) << "bytes lost or out of order";
    EXPECT_TRUE(waitFor([&] { return feeder.done(); }, "the sender's end"));
    EXPECT_EQ(sender.sent(), file.size());
    link.close();
    platform::Settings::install(std::make_shared<platform::MemorySettings>());
}

} // namespace
} // namespace zeb::terminal::test
