#include "app/connection/ConnectionKeeper.h"

#include "platform/MemorySettings.h"
#include "stream/IOSTStream.h"
#include "stream/StreamDevice.h"
#include "testsupport/SocketTestSupport.h"

#include <mutex>

namespace zeb::connection {
namespace {

using namespace std::chrono_literals;
using State = ConnectionKeeper::State;

// A listener that can come back on the port it had (0: any free port) while the closed connection
// still lingers there.
int listenOn(std::uint16_t& port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in where = stream::socket::testing::loopback(port);
    socklen_t length = sizeof where;
    ::bind(fd, reinterpret_cast<const sockaddr*>(&where), sizeof where);
    ::listen(fd, 4);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&where), &length);
    port = ntohs(where.sin_port);
    return fd;
}

// The keeper on a hand-driven owner thread: the test runs the posted notes and fires the timer.
class ConnectionKeeperTest : public stream::socket::testing::SocketTest
{
protected:
    void SetUp() override
    {
        SocketTest::SetUp();
        platform::Settings::install(std::make_shared<platform::MemorySettings>());
        ConnectionKeeper::setReconnectWanted(true);
    }

    ConnectionKeeper::Hooks hooks()
    {
        ConnectionKeeper::Hooks made;
        made.post = [this](std::function<void()> task) {
            const std::lock_guard lock(m_mutex);
            m_posted.push_back(std::move(task));
        };
        made.schedule = [this](std::chrono::milliseconds pause, std::function<void()> task) {
            pauses.push_back(pause);
            timer = std::move(task);
        };
        return made;
    }

    ::testing::AssertionResult reaches(State state, const std::string& what)
    {
        return testsupport::waitFor(
            [&] {
                std::vector<std::function<void()>> tasks;
                {
                    const std::lock_guard lock(m_mutex);
                    tasks.swap(m_posted);
                }
                for (const auto& task : tasks)
                    task();
                return keeper.state() == state;
            },
            what);
    }

    // The far side accepts and hangs up; the keeper hears of it as from the stream's notification.
    ::testing::AssertionResult hangUp(int listener)
    {
        ::close(::accept(listener, nullptr, nullptr));
        if (!testsupport::waitFor([&] { return !connection.device()->isOpen(); }, "the transport ended"))
            return ::testing::AssertionFailure();
        keeper.connectionClosed();
        return reaches(State::Waiting, "a reconnect planned");
    }

    std::mutex m_mutex;
    std::vector<std::function<void()>> m_posted;
    std::vector<std::chrono::milliseconds> pauses;
    std::function<void()> timer;
    stream::IOSTStream connection{stream::IOSTStream::kAnonymous};
    ConnectionKeeper keeper{connection, hooks()};
};

TEST_F(ConnectionKeeperTest, EachFailedReconnectWaitsTwiceAsLongAndASuccessStartsOver)
{
    std::uint16_t port = 0;
    int listener = listenOn(port);
    keeper.open(stream::socket::testing::clientAddress("127.0.0.1", port));
    ASSERT_TRUE(reaches(State::Open, "the first connection"));
    ASSERT_TRUE(hangUp(listener));
    ::close(listener);
    for (int refused = 0; refused < 2; ++refused) {
        timer();
        ASSERT_TRUE(reaches(State::Waiting, "a refused reconnect"));
    }
    EXPECT_EQ(pauses, (std::vector<std::chrono::milliseconds>{1s, 2s, 4s}));

    listener = listenOn(port);
    timer();
    ASSERT_TRUE(reaches(State::Open, "the reconnection"));
    ASSERT_TRUE(hangUp(listener));
    EXPECT_EQ(pauses.back(), 1s);
    ::close(listener);

    // A user's close ends the plan: the timer of the last hang-up does nothing.
    keeper.close();
    timer();
    EXPECT_EQ(keeper.state(), State::Closed);
    EXPECT_FALSE(connection.isOpen());
}

} // namespace
} // namespace zeb::connection
