#include "stream/socket/PeerSocketDevice.h"
#include "stream/socket/SocketPeerStream.h"
#include "testsupport/SocketTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <set>
#include <string>

namespace zeb::stream::socket {
namespace {

using namespace std::chrono_literals;
using namespace testing;

class ServerSocket : public SocketTest
{
protected:
    // A server stream on a free port whose subscribers are the journal and the window.
    void openServer()
    {
        server.subscribeWindow(window.handle());
        journal.subscribeTo(server);
        ASSERT_EQ(server.open(serverAddress(0)), StreamStatus::Ok);
        port = listeningPort(server);
        ASSERT_NE(port, 0);
    }
    ServerSocketDevice& device() { return dynamic_cast<ServerSocketDevice&>(*server.device()); }

    WindowThread window;
    Journal journal;
    IOSTStream server{IOSTStream::kAnonymous};
    std::uint16_t port = 0;
};

// socat and nc at once: each gets a peer stream, told once coming and once going, whose
// subscriber answers its sentences; the stream answers the ping itself.
TEST_F(ServerSocket, TwoClientsAtOnceTalkThroughTheirOwnPeerStreams)
{
    // A peer stream is destroyed once its connection has ended: look at it while it is told.
    std::mutex mutex;
    std::set<std::string> names;
    std::vector<std::unique_ptr<Journal>> peerJournals;
    journal.onEntry([&](const Journal::Entry& entry) {
        auto* peer = reinterpret_cast<IOSTStream*>(entry.argument);
        if (entry.code != StreamEventCode::Connect || peer->identifier() != IOSTStream::kAnonymous)
            return;
        const std::lock_guard lock(mutex);
        names.insert(peer->address());
        // Subscribing in the connect handler sees the connection from its first byte.
        peerJournals.push_back(std::make_unique<Journal>());
        peerJournals.back()->onEntry([peer](const Journal::Entry& seen) {
            if (seen.code == StreamEventCode::Receive && seen.bytes.starts_with("$GPZDA"))
                peer->write("$PKVR,ACK," + seen.bytes.substr(1, 5) + "\r\n");
        });
        peerJournals.back()->subscribeTo(*peer);
    });
    openServer();
    // Each client holds its connection open for a second, so the two overlap.
    const std::string port = std::to_string(this->port);
    auto first = std::async(std::launch::async, [&] {
        return runCommand("(printf '$GPGSV,3,1,11,03,03,111,00*74\\r\\n$GPZDA,1*00\\r\\n$PKVR,RPC,PING\\r\\n'; sleep 1)"
                          " | timeout 10 socat - TCP:127.0.0.1:"
                          + port);
    });
    auto second = std::async(std::launch::async, [&] {
        return runCommand("(printf '$GPZDA,2*00\\r\\n'; sleep 1) | timeout 10 nc -q 0 127.0.0.1 " + port);
    });
    ASSERT_TRUE(eventually([&] { return journal.count(StreamEventCode::Connect) == 2; }));
    const std::string firstOutput = first.get();
    EXPECT_EQ(second.get(), "$PKVR,ACK,GPZDA\r\n");
    ASSERT_TRUE(eventually([&] { return journal.count(StreamEventCode::Disconnect) == 2; }));
    {
        const std::lock_guard lock(mutex);
        ASSERT_EQ(names.size(), 2u);
        for (const auto& name : names)
            EXPECT_TRUE(name.starts_with("/dev/peer/")) << name;
        const std::string ping = "$PKVR,RPC,PING,";
        ASSERT_TRUE(firstOutput.starts_with("$PKVR,ACK,GPZDA\r\n" + ping)) << firstOutput;
        EXPECT_TRUE(names.contains(firstOutput.substr(17 + ping.size(), firstOutput.size() - 19 - ping.size())))
            << firstOutput;
        EXPECT_EQ(peerJournals[0]->received() + peerJournals[1]->received(),
                  peerJournals[0]->received().starts_with("$GPGSV")
                      ? "$GPGSV,3,1,11,03,03,111,00*74\r\n$GPZDA,1*00\r\n$GPZDA,2*00\r\n"
                      : "$GPZDA,2*00\r\n$GPGSV,3,1,11,03,03,111,00*74\r\n$GPZDA,1*00\r\n");
    }
    const auto peersOf = [&](StreamEventCode code) {
        std::set<std::intptr_t> peers;
        for (const auto& entry : journal.of(code))
            peers.insert(entry.argument);
        return peers;
    };
    EXPECT_EQ(peersOf(StreamEventCode::Disconnect), peersOf(StreamEventCode::Connect));
    // Windows are told on their own thread, with the server stream as lParam.
    const auto& ids = StreamRegistry::messages();
    ASSERT_TRUE(eventually([&] { return window.count(ids.disconnect) == 2; }));
    ASSERT_EQ(window.count(ids.connect), 2u);
    EXPECT_EQ(window.messages(ids.connect)[0].lParam, reinterpret_cast<platform::LParam>(&server));
    EXPECT_TRUE(eventually([&] { return device().peers().empty(); }));
}

// Closing the server ends every peer's connection, even one that is ending meanwhile, and frees
// the port at once (SO_REUSEADDR).
TEST_F(ServerSocket, APortInUseFailsWith58AndClosingTheServerEndsItsPeers)
{
    openServer();
    IOSTStream second(IOSTStream::kAnonymous);
    EXPECT_EQ(second.open(serverAddress(port)), StreamStatus::OpenFailed);
    std::vector<RawSocket> clients;
    for (int i = 0; i < 3; ++i)
        clients.push_back(RawSocket::connectTo(port));
    ASSERT_TRUE(eventually([&] { return journal.count(StreamEventCode::Connect) == 3; }));

    clients[1].close();
    server.close();
    EXPECT_EQ(journal.count(StreamEventCode::Close), 1u);
    for (const auto& client : {std::cref(clients[0]), std::cref(clients[2])})
        EXPECT_EQ(client.get().receiveAll(2s), "");
    EXPECT_FALSE(RawSocket::connectTo(port).valid());
    ASSERT_EQ(second.open(serverAddress(port)), StreamStatus::Ok);
}

class RefusingServer : public ServerSocketDevice
{
public:
    std::unique_ptr<SocketPeerStream> makePeerStream() override { return nullptr; }
};

TEST_F(ServerSocket, AConnectionWithoutAPeerStreamIsClosed)
{
    auto& registry = StreamRegistry::instance();
    registry.setTransportFactory(stream_type::Server, {[] { return std::make_unique<RefusingServer>(); }, false});
    openServer();
    registerSocketTransports();

    const RawSocket client = RawSocket::connectTo(port);
    ASSERT_TRUE(client.valid());
    EXPECT_EQ(client.receiveAll(2s), "");
    EXPECT_EQ(journal.count(StreamEventCode::Connect), 0u);
}

TEST_F(ServerSocket, APeerClosedByItsUserIsToldGoneOnceAndItsConnectionEnds)
{
    openServer();
    RawSocket client = RawSocket::connectTo(port);
    ASSERT_TRUE(eventually([&] { return journal.count(StreamEventCode::Connect) == 1; }));
    auto* peer = reinterpret_cast<IOSTStream*>(journal.of(StreamEventCode::Connect).front().argument);
    peer->close();
    EXPECT_EQ(journal.count(StreamEventCode::Disconnect), 1u);
    EXPECT_EQ(client.receiveAll(2s), "");
    client.close();
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(journal.count(StreamEventCode::Disconnect), 1u);
    EXPECT_TRUE(device().peers().empty());
}

// Peers come and go in quick succession while the accept thread reaps the ended ones; run
// under ThreadSanitizer as well.
TEST_F(ServerSocket, ManyShortConnectionsAreAllToldAndReaped)
{
    openServer();
    // Loopback on the build machines stalls new connections for seconds after about twenty
    // quick ones; a dozen keeps the test fast.
    constexpr int kConnections = 12;
    for (int i = 0; i < kConnections; ++i) {
        RawSocket client = RawSocket::connectTo(port);
        ASSERT_TRUE(client.valid());
        client.send("$GPZDA,1*00\r\n");
        if (i % 2 == 1) {
            // Reset rather than close: the receive ends in an error instead of an orderly end.
            const linger reset{1, 0};
            ::setsockopt(client.fd(), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        }
    }
    ASSERT_TRUE(eventually([&] { return journal.count(StreamEventCode::Connect) == kConnections; }));
    ASSERT_TRUE(eventually([&] { return journal.count(StreamEventCode::Disconnect) == kConnections; }));
    EXPECT_TRUE(eventually([&] { return device().peers().empty(); }));
}

} // namespace
} // namespace zeb::stream::socket
