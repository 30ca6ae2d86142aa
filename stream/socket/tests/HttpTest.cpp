#include "stream/socket/tests/SocketTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace zeb::stream::socket {
namespace {

using namespace std::chrono_literals;
using namespace testing;
using messages::MessageKind;

std::string okResponse(const std::string& body)
{
    return "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n"
        + body;
}

// A server stream whose HTTP window is `window`; the journal watches the server stream.
class HttpRequests : public SocketTest
{
protected:
    void SetUp() override
    {
        SocketTest::SetUp();
        journal.onEntry = [this](const Journal::Entry& entry) {
            if (entry.code == StreamEventCode::Connect)
                peerJournal.subscribeTo(*reinterpret_cast<IOSTStream*>(entry.argument));
        };
        journal.subscribeTo(server);
    }
    void openServer(bool withWindow = true)
    {
        server.setHttpWindow(withWindow ? window.handle() : platform::kNoHandle);
        ASSERT_EQ(server.open(serverAddress(0)), StreamStatus::Ok);
        port = listeningPort(server);
    }
    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port) + path; }

    Window window;
    Journal peerJournal;
    Journal journal;
    IOSTStream server{IOSTStream::kAnonymous};
    std::uint16_t port = 0;
};

TEST_F(HttpRequests, CurlGetsTheResponseTheWindowLeftAndTheConnectionCloses)
{
    const std::string body = "<html><body>ZEB500</body></html>";
    window.respondWith(okResponse(body));
    openServer();

    EXPECT_EQ(runCommand("curl -s --max-time 5 " + url("/index.html")), body);
    const auto requests = window.requests();
    ASSERT_EQ(requests.size(), 1u);
    const auto& headers = requests[0].headers;
    EXPECT_NE(std::find(headers.begin(), headers.end(),
                        std::pair<std::string, std::string>("HOST", "127.0.0.1:" + std::to_string(port))),
              headers.end());
    // Sent synchronously, with the record as lParam, to the window's own thread.
    const auto sent = window.messages(StreamRegistry::messages().httpRequest);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].thread, window.id());

    ASSERT_TRUE(eventually([&] { return journal.count(StreamEventCode::Disconnect) == 1; }));
    EXPECT_EQ(peerJournal.count(StreamEventCode::Close), 1u);
    // The response went through the stream's send notifications.
    EXPECT_EQ(peerJournal.count(StreamEventCode::Sent), 1u);
}

TEST_F(HttpRequests, AKeepAliveRequestIsParsedAndStillClosedAfterItsResponse)
{
    window.respondWith(okResponse("x"));
    openServer();
    const RawSocket client = RawSocket::connectTo(port);
    client.send("GET /index.html HTTP/1.1\r\nConnection: keep-alive\r\n\r\n");
    EXPECT_EQ(client.receiveAll(3s), okResponse("x"));

    const auto requests = window.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/index.html");
    ASSERT_EQ(requests[0].headers.size(), 1u);
    EXPECT_EQ(requests[0].headers[0], std::make_pair(std::string("CONNECTION"), std::string("KEEP-ALIVE")));
}

TEST_F(HttpRequests, ALargeResponseGoesOutAsTheSocketTakesIt)
{
    std::string body(3 * 1024 * 1024, '\0');
    for (std::size_t i = 0; i < body.size(); ++i)
        body[i] = static_cast<char>('a' + i % 26);
    window.respondWith(okResponse(body));
    openServer();
    const std::string got = runCommand("curl -s --max-time 10 " + url("/big"));
    EXPECT_EQ(got.size(), body.size());
    EXPECT_TRUE(got == body);
}

TEST_F(HttpRequests, AMalformedHeaderAbandonsTheRequestAndTheConnectionGoesOn)
{
    window.respondWith(okResponse("x"));
    openServer();
    const RawSocket client = RawSocket::connectTo(port);
    client.send("GET / HTTP/1.1\r\nNoColonHere\r\n\r\n$GPZDA,1*00\r\n");
    ASSERT_TRUE(eventually([&] { return peerJournal.received().find("$GPZDA,1*00\r\n") != std::string::npos; }));
    EXPECT_TRUE(window.requests().empty());
    for (const auto& entry : peerJournal.of(StreamEventCode::Receive))
        EXPECT_NE(entry.kind, MessageKind::HttpRequest);
    EXPECT_EQ(journal.count(StreamEventCode::Disconnect), 0u);
}

// Without a window, or with one that leaves no response, a request is only a message of kind
// HttpRequest without data, and the connection goes on.
TEST_F(HttpRequests, WithoutAResponseTheConnectionGoesOn)
{
    for (const bool withWindow : {false, true}) {
        SCOPED_TRACE(withWindow);
        openServer(withWindow);
        const RawSocket client = RawSocket::connectTo(port);
        client.send("GET / HTTP/1.0\r\nAccept: */*\r\n\r\n");
        ASSERT_TRUE(eventually([&] { return peerJournal.count(StreamEventCode::Receive) == 1; }));
        EXPECT_EQ(peerJournal.of(StreamEventCode::Receive)[0].kind, MessageKind::HttpRequest);
        EXPECT_EQ(peerJournal.of(StreamEventCode::Receive)[0].bytes, "");
        EXPECT_EQ(window.requests().size(), withWindow ? 1u : 0u);
        client.send("$GPZDA,1*00\r\n");
        ASSERT_TRUE(eventually([&] { return peerJournal.received() == "$GPZDA,1*00\r\n"; }));
        EXPECT_EQ(journal.count(StreamEventCode::Disconnect), 0u);
        // Closing the server stream destroys its transport and the peer with it, untold.
        server.close();
        const std::lock_guard lock(peerJournal.mutex);
        peerJournal.entries.clear();
    }
}

} // namespace
} // namespace zeb::stream::socket
