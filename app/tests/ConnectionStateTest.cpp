#include "app/Commands.h"
#include "app/connection/ConnectionKeeper.h"
#include "app/connection/qt/ConnectProgress.h"
#include "app/tests/ShellFixture.h"
#include "testsupport/LoopbackPeer.h"
#include "testsupport/SocketTestSupport.h"

#include <QPushButton>
#include <QTimer>

namespace zeb::app::test {
namespace {

using namespace std::chrono_literals;
using State = connection::ConnectionKeeper::State;
using stream::socket::testing::RawListener;
using stream::socket::testing::RawSocket;

using ConnectionStateTest = ShellFixture;

std::string clientText(std::uint16_t port)
{
    return "/dev/client/127.0.0.1/" + std::to_string(port);
}

// A connection to this port is never accepted: its only backlog place is taken, so the
// handshake's first packet is dropped and the connecting side waits for its time limit.
class BlackHole
{
public:
    BlackHole()
        : m_listener(testsupport::LoopbackPeer::listenOnFreePort(m_port))
        , m_backlogZero(::listen(m_listener, 0))
        , m_filler(RawSocket::connectTo(static_cast<std::uint16_t>(m_port)))
    {
    }
    ~BlackHole() { ::close(m_listener); }
    std::uint16_t port() const { return static_cast<std::uint16_t>(m_port); }

private:
    unsigned m_port = 0;
    int m_listener;
    int m_backlogZero;
    RawSocket m_filler;
};

TEST_F(ConnectionStateTest, ConnectingLeavesTheWindowWorkingAndCancelOrClosingEndsIt)
{
    BlackHole hole;
    start();
    app->connectTo(clientText(hole.port()));
    EXPECT_EQ(app->connectionKeeper().state(), State::Connecting);
    EXPECT_TRUE(frame().connectProgress()->text().startsWith(QStringLiteral("Connecting to /dev/client/127.0.0.1/")));
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ticks += app->connectionKeeper().state() == State::Connecting; });
    ticker.start(1);
    ASSERT_TRUE(testsupport::qtWaitFor([&] { return ticks >= 3; }, "timer events while the connect is pending"));

    frame().connectProgress()->cancelButton()->click();
    EXPECT_EQ(app->connectionKeeper().state(), State::Closed);
    EXPECT_TRUE(frame().connectProgress()->text().isEmpty());
    EXPECT_TRUE(frame().commandEnabled(command::Connect));
    EXPECT_FALSE(frame().commandEnabled(command::Disconnect));

    app->connectTo(clientText(hole.port()));
    frame().close();
    stop();
}

TEST_F(ConnectionStateTest, HangUpShowsAtOnceAndTheConnectionComesBackAfterThePause)
{
    settings->writeInt("Settings", "reconnect", 1);
    RawListener listener;
    start();
    std::vector<std::chrono::milliseconds> pauses;
    std::function<void()> timer;
    app->setPauseTimer([&](std::chrono::milliseconds pause, std::function<void()> task) {
        pauses.push_back(pause);
        timer = std::move(task);
    });
    const std::string address = clientText(listener.port());
    app->connectTo(address);
    ASSERT_TRUE(connectionOpens());
    listener.accept().close();

    ASSERT_TRUE(testsupport::qtWaitFor([&] { return frame().toolbarAction(command::Connect)->isEnabled(); },
                                       "Connect offered again after the hang-up"));
    EXPECT_FALSE(app->connectionOpen());
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("ZEB500"));
    EXPECT_TRUE(frame().commandEnabled(command::Connect));
    EXPECT_FALSE(frame().toolbarAction(33410)->isEnabled());
    EXPECT_TRUE(frame().connectProgress()->text().startsWith(QStringLiteral("Connection lost")));
    EXPECT_EQ(app->openConnectionAddress(), address) << "a workspace saved now keeps its connection";
    ASSERT_EQ(pauses, std::vector<std::chrono::milliseconds>{1s});

    timer();
    ASSERT_TRUE(connectionOpens());
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("ZEB500 - ") + QString::fromStdString(address));
    EXPECT_TRUE(frame().connectProgress()->text().isEmpty());
}

} // namespace
} // namespace zeb::app::test
