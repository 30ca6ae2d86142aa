// Closing, reopening and destroying a stream from inside its own notifications, on every
// transport, while data flows: each must return, and nothing may touch what is gone.
#include "platform/MemorySettings.h"
#include "platform/Settings.h"
#include "platform/WorkerThread.h"
#include "stream/IOSTStream.h"
#include "stream/MemoryDevice.h"
#include "stream/StreamAddress.h"
#include "stream/StreamEvent.h"
#include "stream/StreamListener.h"
#include "stream/StreamRegistry.h"
#include "stream/serial/SerialTransport.h"
#include "stream/serial/tests/SocatPair.h"
#include "stream/socket/ServerSocketDevice.h"
#include "stream/socket/SocketTransports.h"
#include "stream/tests/ThreadTestSupport.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <filesystem>
#include <memory>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zeb::stream {
namespace {

using namespace std::chrono_literals;
using testing::HandlerWindow;
using testing::mustHappen;

constexpr std::string_view kLine = "$GPHDT,1.0,T\r\n";

int loopbackSocket(std::uint16_t port, bool listen)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(port);
    where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const auto* raw = reinterpret_cast<const sockaddr*>(&where);
    const bool ok
        = listen ? ::bind(fd, raw, sizeof where) == 0 && ::listen(fd, 8) == 0 : ::connect(fd, raw, sizeof where) == 0;
    if (!ok) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::uint16_t localPort(int fd)
{
    sockaddr_in where{};
    socklen_t size = sizeof where;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&where), &size);
    return ntohs(where.sin_port);
}

// The far side of one transport. Data reaches the stream by the far side writing (serial,
// TCP) or by a feeding thread (file, memory: transports without a thread of their own).
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
    ~ClientRig() override
    {
        drop();
        ::close(m_listener);
    }
    bool open(IOSTStream& stream) override
    {
        const std::string address = "/dev/client/127.0.0.1/" + std::to_string(localPort(m_listener));
        if (stream.open(address, "") != StreamStatus::Ok)
            return false;
        pollfd waiting{m_listener, POLLIN, 0};
        if (::poll(&waiting, 1, 10000) != 1)
            return false;
        const std::lock_guard lock(m_mutex);
        if (m_far >= 0)
            ::close(m_far);
        m_far = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        return m_far >= 0;
    }
    void push(IOSTStream&) override
    {
        const std::lock_guard lock(m_mutex);
        (void)::send(m_far, kLine.data(), kLine.size(), MSG_NOSIGNAL);
    }
    void drop() override
    {
        const std::lock_guard lock(m_mutex);
        if (m_far >= 0)
            ::close(m_far);
        m_far = -1;
    }

private:
    int m_listener = loopbackSocket(0, true);
    std::mutex m_mutex;
    int m_far = -1;
};

// The stream under test is the server stream; its notification is a new connection.
class ServerRig final : public Rig
{
public:
    ServerRig() { socket::registerSocketTransports(); }
    ~ServerRig() override
    {
        for (const int fd : m_clients)
            ::close(fd);
    }
    bool open(IOSTStream& stream) override
    {
        if (stream.open("/dev/server/127.0.0.1/0", "") != StreamStatus::Ok)
            return false;
        m_port = static_cast<socket::ServerSocketDevice*>(stream.device())->port();
        return true;
    }
    void push(IOSTStream&) override
    {
        if (m_clients.size() < 4)
            m_clients.push_back(loopbackSocket(m_port, false));
    }

private:
    std::atomic<std::uint16_t> m_port{0}; // set again by a reopen in a handler
    std::vector<int> m_clients;
};

// Transports without a thread of their own: the feeding thread is their receive thread.
class FeedingRig : public Rig
{
public:
    void push(IOSTStream& stream) override
    {
        stream.feed({reinterpret_cast<const std::uint8_t*>(kLine.data()), kLine.size()});
    }
};

class FileRig final : public FeedingRig
{
public:
    ~FileRig() override { std::filesystem::remove(m_path); }
    bool open(IOSTStream& stream) override { return stream.open(m_path.string(), "w+b") == StreamStatus::Ok; }

private:
    std::filesystem::path m_path = std::filesystem::temp_directory_path()
        / ("zeb-teardown-" + std::to_string(::getpid()) + "-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
};

class MemoryRig final : public FeedingRig
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

private:
    std::array<std::uint8_t, 16> m_block{};
    std::uint32_t m_key = MemoryDevice::lendBlock(m_block);
};

enum class Kind { Window, Callback, Listener };
enum class Action { Close, Reopen, Destroy };
enum class Trigger { Receive, FarClose, Connect };

struct Case
{
    const char* transport;
    std::function<std::unique_ptr<Rig>()> makeRig;
    Trigger trigger;
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

bool triggers(Trigger trigger, platform::MessageId id)
{
    const auto& ids = StreamRegistry::messages();
    return id == (trigger == Trigger::Receive ? ids.receive : trigger == Trigger::FarClose ? ids.close : ids.connect);
}

bool triggers(Trigger trigger, StreamEventCode code)
{
    return code
        == (trigger == Trigger::Receive        ? StreamEventCode::Receive
                : trigger == Trigger::FarClose ? StreamEventCode::Close
                                               : StreamEventCode::Connect);
}

struct Listener final : StreamListener
{
    Subject* subject = nullptr;
    void onReceive(const StreamEvent&) override { subject->act(); }
};

struct CallbackContext
{
    Subject* subject;
    Trigger trigger;
    static void callback(void* context, IOSTStream*, StreamEventCode code, std::intptr_t)
    {
        auto& self = *static_cast<CallbackContext*>(context);
        if (triggers(self.trigger, code))
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
        if (triggers(c.trigger, id))
            subject.act();
        return platform::LResult{1};
    });
    Listener listener;
    listener.subject = &subject;
    CallbackContext context{&subject, c.trigger};
    if (c.kind == Kind::Window)
        raw->subscribeWindow(window.handle());
    else if (c.kind == Kind::Callback)
        raw->subscribeCallback(&CallbackContext::callback, &context);
    else
        raw->subscribeListener(&listener);

    // Data flows until the handler has acted; a feeding rig stops touching the stream then.
    std::thread flow([&] {
        while (subject.stage.load() == 0) {
            rig->push(*raw);
            std::this_thread::sleep_for(1ms);
        }
    });
    if (c.trigger == Trigger::FarClose)
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
    const auto port = static_cast<socket::ServerSocketDevice*>(server->device())->port();
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
    const int far = loopbackSocket(port, false);
    ASSERT_GE(far, 0);
    mustHappen(
        [&] {
            (void)::send(far, kLine.data(), kLine.size(), MSG_NOSIGNAL);
            std::this_thread::sleep_for(1ms);
            return peerClosed.load();
        },
        "the window to close the peer stream");
    mustHappen([&] { return serverGone.load(); }, "the window to destroy the server stream");
    ::close(far);
    mustHappen([] { return platform::WorkerThread::finishing() == 0; }, "handed-off transports to be destroyed");
}

std::vector<Case> allCases()
{
    const std::vector<std::pair<const char*, std::function<std::unique_ptr<Rig>()>>> feeding = {
        {"serial", [] { return std::make_unique<SerialRig>(); }},
        {"client", [] { return std::make_unique<ClientRig>(); }},
        {"file", [] { return std::make_unique<FileRig>(); }},
        {"memory", [] { return std::make_unique<MemoryRig>(); }},
    };
    std::vector<Case> cases;
    for (const auto& [name, make] : feeding) {
        for (const Kind kind : {Kind::Window, Kind::Callback, Kind::Listener}) {
            for (const Action action : {Action::Close, Action::Reopen, Action::Destroy})
                cases.push_back({name, make, Trigger::Receive, kind, action});
        }
    }
    for (const Action action : {Action::Close, Action::Reopen, Action::Destroy}) {
        for (const Kind kind : {Kind::Window, Kind::Callback}) {
            cases.push_back({"client", [] { return std::make_unique<ClientRig>(); }, Trigger::FarClose, kind, action});
            cases.push_back({"server", [] { return std::make_unique<ServerRig>(); }, Trigger::Connect, kind, action});
        }
    }
    return cases;
}

std::string caseName(const ::testing::TestParamInfo<Case>& info)
{
    static constexpr const char* kKinds[] = {"Window", "Callback", "Listener"};
    static constexpr const char* kActions[] = {"Close", "Reopen", "Destroy"};
    static constexpr const char* kTriggers[] = {"OnReceive", "OnFarClose", "OnConnect"};
    const Case& c = info.param;
    return std::string(c.transport) + "_" + kKinds[static_cast<int>(c.kind)] + kActions[static_cast<int>(c.action)]
        + kTriggers[static_cast<int>(c.trigger)];
}

INSTANTIATE_TEST_SUITE_P(EveryTransport, Teardown, ::testing::ValuesIn(allCases()), caseName);

} // namespace
} // namespace zeb::stream
