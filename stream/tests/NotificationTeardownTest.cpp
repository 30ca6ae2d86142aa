// Closing, reopening and destroying a stream from inside its own notifications, on every
// transport, while data flows: each must return, and nothing may touch what is gone.
#include "platform/MemorySettings.h"
#include "platform/Settings.h"
#include "platform/WorkerThread.h"
#include "stream/IOSTStream.h"
#include "stream/MemoryDevice.h"
#include "stream/StreamAddress.h"
#include "stream/StreamEvent.h"
#include "stream/StreamRegistry.h"
#include "stream/serial/SerialTransport.h"
#include "stream/socket/SocketTransports.h"
#include "testsupport/SocatPair.h"
#include "testsupport/SocketTestSupport.h"
#include "testsupport/ThreadTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <optional>

namespace zeb::stream {
namespace {

using namespace std::chrono_literals;
using socket::testing::RawListener;
using socket::testing::RawSocket;
using testing::HandlerWindow;
using testing::mustHappen;

constexpr std::string_view kLine = "$GPHDT,1.0,T\r\n";

// The far side of one transport. Data reaches the stream by the far side writing (serial,
// TCP) or by a feeding thread (memory: a transport without a thread of its own).
class Rig
{
public:
    virtual ~Rig() = default;
    virtual bool open(IOSTStream& stream) = 0;
    // One more piece of data; `stream` is only used by feeding rigs, and only while it lives.
    virtual void push(IOSTStream& stream) = 0;
    // The far side ends the connection.
    virtual void drop() { }
};

class SerialRig final : public Rig
{
public:
    SerialRig()
    {
        serial::registerSerialTransport();
        auto settings = std::make_shared<platform::MemorySettings>();
        settings->writeText("SerialPorts", "COM7", m_pair.endA());
        platform::Settings::install(settings);
        m_far = std::make_unique<serial::testing::PeerLine>(m_pair.endB());
    }
    bool open(IOSTStream& stream) override
    {
        return m_pair.ready() && stream.open("/dev/serial/com7,115200,8,1.0,N", "") == StreamStatus::Ok;
    }
    void push(IOSTStream&) override { m_far->writeAll(kLine); }

private:
    serial::testing::SocatPair m_pair;
    std::unique_ptr<serial::testing::PeerLine> m_far;
};

class ClientRig final : public Rig
{
public:
    ClientRig() { socket::registerSocketTransports(); }
    bool open(IOSTStream& stream) override
    {
        if (stream.open("/dev/client/127.0.0.1/" + std::to_string(m_listener.port()), "") != StreamStatus::Ok)
            return false;
        RawSocket far = m_listener.accept(); // connected already: the accept does not wait
        const std::lock_guard lock(m_mutex);
        m_far.emplace(std::move(far));
        return m_far->valid();
    }
    void push(IOSTStream&) override
    {
        const std::lock_guard lock(m_mutex);
        if (m_far)
            m_far->send(kLine);
    }
    void drop() override
    {
        const std::lock_guard lock(m_mutex);
        m_far.reset();
    }

private:
    RawListener m_listener;
    std::mutex m_mutex;
    std::optional<RawSocket> m_far;
};

// The stream under test is the server stream; its notification is a new connection.
class ServerRig final : public Rig
{
public:
    ServerRig() { socket::registerSocketTransports(); }
    bool open(IOSTStream& stream) override
    {
        if (stream.open("/dev/server/127.0.0.1/0", "") != StreamStatus::Ok)
            return false;
        m_port = socket::testing::listeningPort(stream);
        return true;
    }
    void push(IOSTStream&) override
    {
        if (m_clients.size() < 4)
            m_clients.push_back(RawSocket::connectTo(m_port));
    }

private:
    std::atomic<std::uint16_t> m_port{0}; // set again by a reopen in a handler
    std::vector<RawSocket> m_clients;
};

// A transport without a thread of its own: the feeding thread is its receive thread.
class MemoryRig final : public Rig
{
public:
    ~MemoryRig() override { MemoryDevice::withdrawBlock(m_key); }
    bool open(IOSTStream& stream) override
    {
        StreamAddress address;
        address.type = stream_type::Buffer;
        address.buffer.address = m_key;
        address.buffer.size = static_cast<std::uint32_t>(m_block.size());
        return stream.open(address) == StreamStatus::Ok;
    }
    void push(IOSTStream& stream) override
    {
        stream.feed({reinterpret_cast<const std::uint8_t*>(kLine.data()), kLine.size()});
    }

private:
    std::array<std::uint8_t, 16> m_block{};
    std::uint32_t m_key = MemoryDevice::lendBlock(m_block);
};

// Callbacks and listeners are called in the same walk of the subscribers; windows are sent to.
enum class Kind { Window, Callback };
enum class Action { Close, Reopen, Destroy };
struct Case
{
    const char* transport;
    std::function<std::unique_ptr<Rig>()> makeRig;
    StreamEventCode trigger;
    Kind kind;
    Action action;
};

// The stream, and what the handler does to it once.
struct Subject
{
    std::unique_ptr<IOSTStream> stream = std::make_unique<IOSTStream>(IOSTStream::kAnonymous);
    Rig* rig = nullptr;
    Action action = Action::Close;
    std::atomic<int> stage{0}; // 0 waiting, 1 acting, 2 done

    void act()
    {
        int waiting = 0;
        if (!stage.compare_exchange_strong(waiting, 1))
            return;
        if (action == Action::Close)
            stream->close();
        else if (action == Action::Reopen)
            rig->open(*stream);
        else
            stream.reset();
        stage = 2;
    }
};

platform::MessageId messageOf(StreamEventCode code)
{
    const auto& ids = StreamRegistry::messages();
    return code == StreamEventCode::Receive ? ids.receive : code == StreamEventCode::Close ? ids.close : ids.connect;
}

struct CallbackContext
{
    Subject* subject;
    StreamEventCode trigger;
    static void callback(void* context, IOSTStream*, StreamEventCode code, std::intptr_t)
    {
        auto& self = *static_cast<CallbackContext*>(context);
        if (code == self.trigger)
            self.subject->act();
    }
};

class Teardown : public ::testing::TestWithParam<Case>
{ };

TEST_P(Teardown, TheHandlerReturnsAndTheStreamIsLeftAsItSaid)
{
    const Case& c = GetParam();
    const std::unique_ptr<Rig> rig = c.makeRig();
    Subject subject;
    subject.rig = rig.get();
    subject.action = c.action;
    IOSTStream* const raw = subject.stream.get();
    ASSERT_TRUE(rig->open(*raw)) << c.transport << " could not be opened";

    HandlerWindow window([&](platform::MessageId id, platform::WParam, platform::LParam) {
        if (id == messageOf(c.trigger))
            subject.act();
        return platform::LResult{1};
    });
    CallbackContext context{&subject, c.trigger};
    if (c.kind == Kind::Window)
        raw->subscribeWindow(window.handle());
    else
        raw->subscribeCallback(&CallbackContext::callback, &context);

    // Data flows until the handler has acted; a feeding rig stops touching the stream then.
    std::thread flow([&] {
        while (subject.stage.load() == 0) {
            rig->push(*raw);
            std::this_thread::sleep_for(1ms);
        }
    });
    if (c.trigger == StreamEventCode::Close)
        rig->drop();
    mustHappen([&] { return subject.stage.load() == 2; }, "the handler's close, reopen or destroy to return");
    flow.join();

    if (c.action != Action::Destroy) {
        EXPECT_EQ(subject.stream->isOpen(), c.action == Action::Reopen) << c.transport;
    }
    // The rest goes from here, as an owner would end it, data or not.
    subject.stream.reset();
    mustHappen([] { return platform::WorkerThread::finishing() == 0; }, "handed-off transports to be destroyed");
}

// A window closes a peer stream from its receive notification, and destroys the server stream
// from the disconnect that the peer's own thread tells it while that thread waits.
TEST(TeardownOfPeers, APeerClosedAndItsServerDestroyedFromTheirNotifications)
{
    socket::registerSocketTransports();
    auto server = std::make_unique<IOSTStream>(IOSTStream::kAnonymous);
    ASSERT_EQ(server->open("/dev/server/127.0.0.1/0", ""), StreamStatus::Ok);
    const auto port = socket::testing::listeningPort(*server);
    const auto& ids = StreamRegistry::messages();
    std::atomic<bool> peerClosed{false};
    std::atomic<bool> serverGone{false};
    HandlerWindow window([&](platform::MessageId id, platform::WParam wParam, platform::LParam lParam) {
        if (id == ids.connect)
            reinterpret_cast<IOSTStream*>(wParam)->subscribeWindow(window.handle());
        if (id == ids.receive && !peerClosed) {
            reinterpret_cast<const StreamEvent*>(lParam)->stream->close();
            peerClosed = true;
        }
        if (id == ids.disconnect && !serverGone) {
            server.reset();
            serverGone = true;
        }
        return platform::LResult{1};
    });
    server->subscribeWindow(window.handle());
    RawSocket far = RawSocket::connectTo(port);
    ASSERT_TRUE(far.valid());
    mustHappen(
        [&] {
            far.send(kLine);
            std::this_thread::sleep_for(1ms);
            return peerClosed.load();
        },
        "the window to close the peer stream");
    mustHappen([&] { return serverGone.load(); }, "the window to destroy the server stream");
    far.close();
    mustHappen([] { return platform::WorkerThread::finishing() == 0; }, "handed-off transports to be destroyed");
}

// Every kind of subscriber doing every action, from each transport's notifying thread.
std::vector<Case> allCases()
{
    using Make = std::function<std::unique_ptr<Rig>()>;
    const Make serial = [] { return std::make_unique<SerialRig>(); };
    const Make client = [] { return std::make_unique<ClientRig>(); };
    const Make server = [] { return std::make_unique<ServerRig>(); };
    const Make memory = [] { return std::make_unique<MemoryRig>(); };
    std::vector<Case> cases;
    for (const Kind kind : {Kind::Window, Kind::Callback}) {
        for (const Action action : {Action::Close, Action::Reopen, Action::Destroy}) {
            cases.push_back({"memory", memory, StreamEventCode::Receive, kind, action});
            cases.push_back({"serial", serial, StreamEventCode::Receive, kind, action});
            cases.push_back({"client", client, StreamEventCode::Receive, kind, action});
            cases.push_back({"client", client, StreamEventCode::Close, kind, action});
            cases.push_back({"server", server, StreamEventCode::Connect, kind, action});
        }
    }
    return cases;
}

std::string caseName(const ::testing::TestParamInfo<Case>& info)
{
    static constexpr const char* kActions[] = {"Close", "Reopen", "Destroy"};
    const Case& c = info.param;
    const char* trigger = c.trigger == StreamEventCode::Receive ? "OnReceive"
        : c.trigger == StreamEventCode::Close                   ? "OnFarClose"
                                                                : "OnConnect";
    return std::string(c.transport) + "_" + (c.kind == Kind::Window ? "Window" : "Callback")
        + kActions[static_cast<int>(c.action)] + trigger;
}

INSTANTIATE_TEST_SUITE_P(EveryTransport, Teardown, ::testing::ValuesIn(allCases()), caseName);

} // namespace
} // namespace zeb::stream
