// A window thread that opens a TCP client keeps serving the sends addressed to it while the
// connection comes up.
#include "stream/IOSTStream.h"
#include "stream/StreamRegistry.h"
#include "stream/socket/ClientSocketDevice.h"
#include "testsupport/SocketTestSupport.h"
#include "testsupport/ThreadTestSupport.h"

#include <gtest/gtest.h>

namespace zeb::stream::socket {
namespace {

using namespace std::chrono_literals;

constexpr platform::MessageId kQuestion = 0xFFFFFF02u;

// A listener that accepts nobody, with its one-place backlog filled: a further connection
// stays in progress until the client gives up.
struct FullListener
{
    FullListener()
    {
        sockaddr_in where = testing::loopback(0);
        ::bind(listener, reinterpret_cast<const sockaddr*>(&where), sizeof where);
        ::listen(listener, 0);
        socklen_t size = sizeof where;
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&where), &size);
        port = ntohs(where.sin_port);
        for (int& filler : fillers) {
            filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            ::connect(filler, reinterpret_cast<const sockaddr*>(&where), sizeof where);
        }
    }
    ~FullListener()
    {
        for (const int filler : fillers)
            ::close(filler);
        ::close(listener);
    }
    int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int fillers[3] = {-1, -1, -1};
    std::uint16_t port = 0;
};

TEST(ConnectServing, AWindowThreadAnswersSendsWhileItsClientConnects)
{
    FullListener far;
    StreamRegistry& registry = StreamRegistry::instance();
    const TransportFactory saved = registry.transportFactory(stream_type::Client);
    registry.setTransportFactory(stream_type::Client,
                                 {[] {
                                      auto device = std::make_unique<ClientSocketDevice>();
                                      device->setConnectLimit(3s);
                                      return device;
                                  },
                                  false});

    std::atomic<bool> opening{false};
    std::atomic<bool> opened{false};
    stream::testing::HandlerWindow window([&](platform::MessageId, platform::WParam, platform::LParam) {
        return platform::LResult{opened.load() ? 2 : 1};
    });
    StreamStatus status = StreamStatus::Ok;
    std::thread asker([&] {
        stream::testing::mustHappen([&] { return opening.load(); }, "the window to begin opening");
        EXPECT_EQ(platform::send(window.handle(), kQuestion), 1) << "answered only after the connect had ended";
    });
    window.run(
        [&] {
            IOSTStream stream(IOSTStream::kAnonymous);
            opening = true;
            status = stream.open("/dev/client/127.0.0.1/" + std::to_string(far.port), "");
            opened = true;
        },
        "the window's open to end");
    asker.join();
    registry.setTransportFactory(stream_type::Client, saved);
    EXPECT_EQ(status, StreamStatus::OpenFailed) << "the full backlog should have held the connection back";
}

} // namespace
} // namespace zeb::stream::socket
