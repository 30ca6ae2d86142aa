#include "stream/socket/ServerSocketDevice.h"

#include "platform/ServingWait.h"
#include "platform/WorkerThread.h"
#include "stream/StreamAddress.h"
#include "stream/socket/PeerSocketDevice.h"
#include "stream/socket/SocketPeerStream.h"
#include "text/Format.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zeb::stream::socket {

namespace {

constexpr double kAcceptPriority = 1.0;
// Out of descriptors or memory, accept() fails while the connection stays pending: wait a
// little instead of spinning on it.
constexpr int kAcceptPauseMs = 100;
// A connection that arrives while the server stream is still taking the transport waits this
// long before it is looked at again.
constexpr int kOwnerRetryMs = 10;
// How long destroying the server waits for peers in the middle of ending.
constexpr std::chrono::seconds kPeerEndLimit{10};

} // namespace

class ServerSocketDevice::AcceptThread : public platform::WorkerThread
{
public:
    explicit AcceptThread(ServerSocketDevice& server)
        : WorkerThread("accept", kAcceptPriority)
        , m_server(server)
    {
    }
    ~AcceptThread() override { terminate(); }

    bool stopping() const { return stopRequested(); }

protected:
    int run() override
    {
        while (!stopRequested() && m_server.acceptStep()) { }
        return 0;
    }
    void interrupt() override { m_server.m_wake.signal(); }

private:
    ServerSocketDevice& m_server;
};

ServerSocketDevice::ServerSocketDevice() = default;

ServerSocketDevice::~ServerSocketDevice()
{
    stopAccepting();
    m_listener.close();
    m_open = false;
    std::vector<Peer> all;
    const auto takeAll = [&] {
        const std::lock_guard lock(m_peersMutex);
        m_destroying = true;
        if (m_ending > 0)
            return false;
        all.swap(m_peers);
        return true;
    };
    // A peer in the middle of ending may be sending to this thread's windows: serve them. A
    // peer that never finishes (its subscriber hangs) is not waited for beyond the limit.
    if (!platform::ServingWait::until(takeAll, kPeerEndLimit)) {
        std::fprintf(stderr, "ZEB500: a peer connection did not end in time\n");
        const std::lock_guard lock(m_peersMutex);
        all.swap(m_peers);
    }
    all.clear();
}

bool ServerSocketDevice::handOffToOwnThread(std::unique_ptr<StreamDevice>& self)
{
    if (handOffTo(m_thread.get(), self))
        return true;
    const std::lock_guard lock(m_peersMutex);
    for (const Peer& peer : m_peers) {
        if (peer.transport && peer.transport->takeOverFromHere(self))
            return true;
    }
    return false;
}

namespace {
std::atomic<Ipv4Address> g_listenAddress{kAnyAddress};
} // namespace

void ServerSocketDevice::setListenAddress(Ipv4Address address)
{
    g_listenAddress.store(address);
}

StreamStatus ServerSocketDevice::open(const StreamAddress& address)
{
    close();
    const auto port = static_cast<std::uint16_t>(address.server.port & 0xFFFFu);
    // Without its wake-up descriptor the accept thread could never be stopped.
    if (m_wake.fd() < 0 || !m_listener.attach(SocketHandle::listenOn(port, kBacklog, g_listenAddress.load())))
        return StreamStatus::OpenFailed;
    m_port = SocketHandle::localPort(m_listener.fd());
    m_wake.drain();
    m_thread = std::make_unique<AcceptThread>(*this);
    if (m_thread->start() != platform::WorkerThread::kStatusOk) {
        m_thread.reset();
        m_listener.close();
        return StreamStatus::OpenFailed;
    }
    m_open = true;
    return StreamStatus::Ok;
}

StreamStatus ServerSocketDevice::close()
{
    m_open = false;
    stopAccepting();
    m_listener.close();
    return StreamStatus::Ok;
}

void ServerSocketDevice::stopAccepting()
{
    if (m_thread)
        m_thread->terminate();
}

std::vector<IOSTStream*> ServerSocketDevice::peers() const
{
    const std::lock_guard lock(m_peersMutex);
    std::vector<IOSTStream*> live;
    for (const Peer& peer : m_peers) {
        if (!peer.ended && !peer.disconnectTold)
            live.push_back(peer.stream.get());
    }
    return live;
}

std::unique_ptr<SocketPeerStream> ServerSocketDevice::makePeerStream()
{
    return std::make_unique<SocketPeerStream>();
}

// --- the accept thread ---------------------------------------------------------------------

bool ServerSocketDevice::acceptStep()
{
    std::array<pollfd, 2> fds{{{m_listener.fd(), POLLIN, 0}, {m_wake.fd(), POLLIN, 0}}};
    if (::poll(fds.data(), fds.size(), -1) < 0)
        return errno == EINTR;
    if (fds[1].revents != 0) {
        m_wake.drain();
        reapEnded();
    }
    if (m_thread->stopping())
        return false;
    if ((fds[0].revents & (POLLERR | POLLNVAL)) != 0)
        return false;
    if ((fds[0].revents & POLLIN) == 0)
        return true;
    if (!owner()) {
        // The stream that opened this transport has not attached it yet: nobody could be told.
        std::array<pollfd, 1> wake{{{m_wake.fd(), POLLIN, 0}}};
        (void)::poll(wake.data(), wake.size(), kOwnerRetryMs);
        return true;
    }
    acceptOne();
    return true;
}

void ServerSocketDevice::pauseAccepting()
{
    std::array<pollfd, 1> wake{{{m_wake.fd(), POLLIN, 0}}};
    (void)::poll(wake.data(), wake.size(), kAcceptPauseMs);
}

void ServerSocketDevice::acceptOne()
{
    const int fd = ::accept4(m_listener.fd(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
        if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
            pauseAccepting();
        return;
    }
    IOSTStream* server = owner();
    std::unique_ptr<SocketPeerStream> stream = makePeerStream();
    if (!stream || !server) {
        ::shutdown(fd, SHUT_WR);
        ::close(fd);
        return;
    }
    stream->setHttpWindow(server->httpWindow());
    auto device = std::make_unique<PeerSocketDevice>(*this, *stream);
    PeerSocketDevice* peer = device.get();
    if (!peer->adoptSocket(fd))
        return;
    stream->adopt(std::move(device), text::format("/dev/peer/%u", static_cast<unsigned>(fd)));
    if (peer->start() != platform::WorkerThread::kStatusOk)
        return;

    SocketPeerStream* added = stream.get();
    {
        const std::lock_guard lock(m_peersMutex);
        m_peers.insert(m_peers.begin(), Peer{std::move(stream), peer});
    }
    server->notifyConnect(added);
    added->notifyOpen();
    // The peer receives only now, so that a subscriber that subscribes to the peer stream in
    // its connect handler sees the connection's first bytes.
    releasePeer(*added);
}

// Any thread may have closed the peer stream since it was announced, destroying its
// transport: the list says whether it is still there.
void ServerSocketDevice::releasePeer(IOSTStream& peer)
{
    const std::lock_guard lock(m_peersMutex);
    if (Peer* entry = find(peer); entry && entry->transport)
        entry->transport->release();
}

void ServerSocketDevice::forgetTransport(IOSTStream& peer)
{
    const std::lock_guard lock(m_peersMutex);
    if (Peer* entry = find(peer))
        entry->transport = nullptr;
}

// --- peers ending --------------------------------------------------------------------------

ServerSocketDevice::Peer* ServerSocketDevice::find(IOSTStream& peer)
{
    const auto found
        = std::find_if(m_peers.begin(), m_peers.end(), [&](const Peer& entry) { return entry.stream.get() == &peer; });
    return found == m_peers.end() ? nullptr : &*found;
}

bool ServerSocketDevice::beginPeerEnd(IOSTStream& peer)
{
    const std::lock_guard lock(m_peersMutex);
    if (m_destroying)
        return false;
    const Peer* entry = find(peer);
    if (!entry || entry->ended)
        return false;
    ++m_ending;
    return true;
}

void ServerSocketDevice::finishPeerEnd(IOSTStream& peer)
{
    if (takeDisconnect(peer)) {
        if (IOSTStream* server = owner())
            server->notifyDisconnect(&peer);
    }
    // The stream is destroyed by another thread; its own close was told already.
    peer.setAllStates(SubscriberState::Disabled);
    {
        // The wake-up goes out under the lock: once it is released, a destructor waiting for
        // this peer may destroy the server.
        const std::lock_guard lock(m_peersMutex);
        if (Peer* entry = find(peer))
            entry->ended = true;
        --m_ending;
        m_wake.signal();
    }
    platform::ServingWait::wakeAll();
}

void ServerSocketDevice::peerClosed(IOSTStream& peer)
{
    if (!takeDisconnect(peer))
        return;
    if (IOSTStream* server = owner())
        server->notifyDisconnect(&peer);
}

bool ServerSocketDevice::takeDisconnect(IOSTStream& peer)
{
    const std::lock_guard lock(m_peersMutex);
    Peer* entry = m_destroying ? nullptr : find(peer);
    if (!entry || entry->disconnectTold)
        return false;
    entry->disconnectTold = true;
    return true;
}

void ServerSocketDevice::reapEnded()
{
    std::vector<Peer> ended;
    {
        const std::lock_guard lock(m_peersMutex);
        for (auto entry = m_peers.begin(); entry != m_peers.end();) {
            if (entry->ended) {
                ended.push_back(std::move(*entry));
                entry = m_peers.erase(entry);
            } else {
                ++entry;
            }
        }
    }
    ended.clear();
}

} // namespace zeb::stream::socket
