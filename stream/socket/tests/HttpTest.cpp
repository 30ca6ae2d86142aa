#include "messages/HttpRequestRecord.h"
#include "testsupport/SocketTestSupport.h"

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

// A server stream whose HTTP window answers with `response`; the window keeps each request as
// "METHOD TARGET" and one "NAME: VALUE" line per header, newest first.
class HttpRequests : public SocketTest
{
protected:
    void SetUp() override
    {
        SocketTest::SetUp();
        journal.onEntry([this](const Journal::Entry& entry) {
            if (entry.code == StreamEventCode::Connect)
                peerJournal.subscribeTo(*reinterpret_cast<IOSTStream*>(entry.argument));
        });
        journal.subscribeTo(server);
    }
    void openServer(bool withWindow = true)
    {
        server.setHttpWindow(withWindow ? window.handle() : platform::kNoHandle);
        ASSERT_EQ(server.open(serverAddress(0)), StreamStatus::Ok);
        port = listeningPort(server);
    }
    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port) + path; }
    std::vector<WindowThread::Message> requests() const
    {
        return window.messages(StreamRegistry::messages().httpRequest);
    }
    std::string answer(platform::MessageId id, platform::LParam lParam) const
    {
        if (id != StreamRegistry::messages().httpRequest)
            return {};
        auto& record = *reinterpret_cast<messages::HttpRequestRecord*>(lParam);
        std::string seen = std::string(record.method()) + ' ' + std::string(record.target());
        for (std::size_t i = 0; i < record.headerCount(); ++i)
            seen += '\n' + std::string(record.header(i).name) + ": " + std::string(record.header(i).value);
        if (!response.empty()) {
            record.response = reinterpret_cast<const std::uint8_t*>(response.data());
            record.responseCount = response.size();
        }
        return seen;
    }

    std::string response; // set before the server opens
    WindowThread window{
        [this](platform::MessageId id, platform::WParam, platform::LParam lParam) { return answer(id, lParam); }};
    Journal peerJournal;
    Journal journal;
    IOSTStream server{IOSTStream::kAnonymous};
    std::uint16_t port = 0;
};

TEST_F(HttpRequests, CurlGetsTheResponseTheWindowLeftAndTheConnectionCloses)
{
    // Large enough that the response goes out in many pieces as the socket takes it.
    std::string body(3 * 1024 * 1024, '\0');
    for (std::size_t i = 0; i < body.size(); ++i)
        body[i] = static_cast<char>('a' + i % 26);
    response = okResponse(body);
    openServer();

    EXPECT_TRUE(runCommand("curl -s --max-time 10 " + url("/index.html")) == body);
    const auto sent = requests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_TRUE(sent[0].text.starts_with("GET /index.html")) << sent[0].text;
    EXPECT_NE(sent[0].text.find("\nHOST: 127.0.0.1:" + std::to_string(port)), std::string::npos) << sent[0].text;
    // Sent synchronously, with the record as lParam, to the window's own thread.
    EXPECT_EQ(sent[0].thread, window.id());

    ASSERT_TRUE(eventually([&] { return journal.count(StreamEventCode::Disconnect) == 1; }));
    EXPECT_EQ(peerJournal.count(StreamEventCode::Close), 1u);
    // The response went through the stream's send notifications.
    EXPECT_EQ(peerJournal.count(StreamEventCode::Sent), 1u);
}

// Without a window, or with one that leaves no response, a request is only a message of kind
// HttpRequest without data, and the connection goes on. (A malformed request is discarded by the
// framer and never reaches the window: the connection goes on the same way.)
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
        EXPECT_EQ(requests().size(), withWindow ? 1u : 0u);
        client.send("$GPZDA,1*00\r\n");
        ASSERT_TRUE(eventually([&] { return peerJournal.received() == "$GPZDA,1*00\r\n"; }));
        EXPECT_EQ(journal.count(StreamEventCode::Disconnect), 0u);
        // Closing the server stream destroys its transport and the peer with it, untold.
        server.close();
        peerJournal.clear();
    }
}

} // namespace
} // namespace zeb::stream::socket
