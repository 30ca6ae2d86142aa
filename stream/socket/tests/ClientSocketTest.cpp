#include "stream/socket/ClientSocketDevice.h"
#include "testsupport/SocketTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>

namespace zeb::stream::socket {
namespace {

using namespace std::chrono_literals;
using namespace testing;
using Clock = std::chrono::steady_clock;

class ClientSocket : public SocketTest
{ };

std::chrono::milliseconds since(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

TEST_F(ClientSocket, BadOrRefusedAddressesFailWith58)
{
    std::uint16_t closedPort = 0;
    {
        const RawListener gone;
        closedPort = gone.port();
    }
    for (const auto& [host, port] :
         {std::pair<std::string, std::uint32_t>{"no-such-host.invalid", 1000}, {"127.0.0.1", closedPort}}) {
        SCOPED_TRACE(host);
        IOSTStream stream(IOSTStream::kAnonymous);
        const auto start = Clock::now();
        EXPECT_EQ(stream.open(clientAddress(host, port)), StreamStatus::OpenFailed);
        EXPECT_LT(since(start), 2s);
        EXPECT_FALSE(stream.isOpen());
    }
}

// Sentences in, a command out, then the far side ends the connection: the stream is told on its
// receive thread, and the dead transport stays attached until the owner closes the stream.
TEST_F(ClientSocket, NmeaTravelsBothWaysUntilTheFarSideCloses)
{
    const std::string capture = readFile(captureFolder() / "nmea" / "bu353-glonass.nmea");
    ASSERT_FALSE(capture.empty());
    const RawListener listener;
    WindowThread window;
    Journal journal;
    IOSTStream stream(IOSTStream::kAnonymous);
    journal.subscribeTo(stream);
    stream.subscribeWindow(window.handle());
    // Only the low 16 bits of the port count.
    ASSERT_EQ(stream.open(clientAddress("localhost", 0x50000u | listener.port())), StreamStatus::Ok);
    const RawSocket far = listener.accept();

    // In pieces that cut sentences, as a serial-to-network bridge would.
    for (std::size_t at = 0; at < capture.size(); at += 700)
        far.send(std::string_view(capture).substr(at, 700));
    ASSERT_TRUE(eventually([&] { return journal.received().size() >= capture.size(); }));
    EXPECT_EQ(journal.received(), capture);

    const std::string command = "$PKVR,TXT,HELLO*00\r\n";
    EXPECT_EQ(stream.write(command, 0), command.size());
    ::shutdown(far.fd(), SHUT_WR);
    EXPECT_EQ(far.receiveAll(1s), command);

    ASSERT_TRUE(eventually([&] { return journal.count(StreamEventCode::Close) == 1; }));
    ASSERT_TRUE(eventually([&] { return window.count(StreamRegistry::messages().close) == 1; }));
    for (const auto& entry : journal.of(StreamEventCode::Receive))
        EXPECT_NE(entry.thread, std::this_thread::get_id());
    EXPECT_NE(journal.of(StreamEventCode::Close).front().thread, std::this_thread::get_id());
    ASSERT_NE(stream.device(), nullptr);
    EXPECT_FALSE(stream.device()->isOpen());
    EXPECT_EQ(stream.write("$GPZDA\r\n"), 0u);
    stream.close();
    EXPECT_EQ(journal.count(StreamEventCode::Close), 2u);
}

TEST_F(ClientSocket, AWriteTheSocketRefusesEndsAfterItsRetriesWithWhatWasSent)
{
    const RawListener listener;
    IOSTStream stream(IOSTStream::kAnonymous);
    ASSERT_EQ(stream.open(clientAddress("127.0.0.1", listener.port())), StreamStatus::Ok);
    const RawSocket far = listener.accept(); // never reads
    const int small = 4096;
    ::setsockopt(far.fd(), SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    ::setsockopt(dynamic_cast<ClientSocketDevice*>(stream.device())->socketFd(), SOL_SOCKET, SO_SNDBUF, &small,
                 sizeof small);

    const std::string block(65536, 'x');
    std::size_t filled = 0;
    for (int i = 0; i < 1000; ++i) {
        const std::size_t took = stream.write(block, 0);
        filled += took;
        if (took == 0)
            break;
    }
    ASSERT_GT(filled, 0u);

    const std::string hundred(100, 'y');
    auto start = Clock::now();
    EXPECT_EQ(stream.write(hundred, 10, 20), 0u);
    const auto waited = since(start);
    EXPECT_GE(waited, 190ms);
    EXPECT_LT(waited, 10s) << "ten retries of 20 ms must not block for good";

    start = Clock::now();
    EXPECT_EQ(stream.write(hundred, 0, 20), 0u);
    EXPECT_LT(since(start), 5s) << "a write without retries must return at once";
    stream.close();
    EXPECT_EQ(stream.write(hundred, 10, 20), 0u);
}

// Without a stream to take them, received bytes wait in the queue, which stops growing at its
// capacity: the far side is held back and nothing is lost.
TEST_F(ClientSocket, TheReceiveQueueIsBoundedAndLosesNothing)
{
    const RawListener listener;
    ClientSocketDevice device;
    ASSERT_EQ(device.open(clientAddress("127.0.0.1", listener.port())), StreamStatus::Ok);
    RawSocket far = listener.accept();

    std::string sent(300000, '\0');
    for (std::size_t i = 0; i < sent.size(); ++i)
        sent[i] = static_cast<char>('A' + i % 23);
    std::thread writer([&] {
        far.send(sent);
        far.close();
    });
    ASSERT_TRUE(eventually([&] { return device.size() == ConnectedSocketDevice::kQueueCapacity; }));
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(device.size(), ConnectedSocketDevice::kQueueCapacity);

    std::string got;
    std::uint8_t buffer[5000];
    for (;;) {
        const std::size_t n = device.read(buffer, sizeof buffer, true);
        if (n == 0)
            break;
        got.append(reinterpret_cast<const char*>(buffer), n);
    }
    writer.join();
    EXPECT_EQ(got.size(), sent.size());
    EXPECT_TRUE(got == sent);
    EXPECT_TRUE(device.atEnd());
    EXPECT_FALSE(device.isOpen());
    // A waiting read after the end returns at once.
    EXPECT_EQ(device.read(buffer, sizeof buffer, true), 0u);
}

// Run under ThreadSanitizer as well: closing races the receive thread that is delivering.
TEST_F(ClientSocket, ClosingWhileDataArrivesIsSafe)
{
    const RawListener listener;
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        Journal journal;
        IOSTStream stream(IOSTStream::kAnonymous);
        journal.subscribeTo(stream);
        ASSERT_EQ(stream.open(clientAddress("127.0.0.1", listener.port())), StreamStatus::Ok);
        RawSocket far = listener.accept();
        std::atomic<bool> stop{false};
        std::thread writer([&] {
            while (!stop)
                far.send("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n");
        });
        ASSERT_TRUE(eventually([&] { return journal.count(StreamEventCode::Receive) > 0; }));
        std::this_thread::sleep_for(std::chrono::milliseconds(round % 5));
        if (round % 2 == 0)
            stream.close();
        stop = true;
        ::shutdown(far.fd(), SHUT_RDWR);
        writer.join();
    }
}

} // namespace
} // namespace zeb::stream::socket
