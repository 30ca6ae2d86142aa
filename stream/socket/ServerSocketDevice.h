#pragma once

#include "stream/StreamDevice.h"
#include "stream/socket/SocketHandle.h"
#include "stream/socket/WakeEvent.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace zeb::stream::socket {

class PeerSocketDevice;
class SocketPeerStream;

// The transport of a TCP server stream (type 5): listens on every local address at the port
// and, on its accept thread, makes one peer stream per connection. The server stream's
// subscribers are told "ON_STREAM_CONNECT" and "ON_STREAM_DISCONNECT" for each.
//
// Ownership of the peers: the server owns every peer stream (and through it the peer's
// transport). A peer whose connection ended is destroyed by the accept thread, which its
// receive thread wakes; the others live until this transport is destroyed. One mutex guards
// the list; no notification is sent while it is held. A peer stream closed by its user stays
// in the list, without transport, until the server goes.
class ServerSocketDevice : public StreamDevice
{
public:
    static constexpr int kBacklog = 5;

    ServerSocketDevice();
    ~ServerSocketDevice() override;

    // 0, or 58 when the port cannot be bound or listened on, or the thread cannot start. The
    // host of the settings is not used. Port 0 takes a free port (see port()).
    StreamStatus open(const StreamAddress& address) override;
    // Stops accepting; the peers stay up.
    StreamStatus close() override;
    bool isOpen() const override { return m_open.load(); }

    // The port listened on.
    std::uint16_t port() const { return m_port.load(); }
    // The local address servers opened from now on listen on, for a process that must not be
    // reachable from the network (a simulator); every local address unless told otherwise.
    static void setListenAddress(Ipv4Address address);
    // Peer streams whose connection is still up, newest first.
    std::vector<IOSTStream*> peers() const;

    // Makes the stream for a new connection; nullptr refuses it.
    virtual std::unique_ptr<SocketPeerStream> makePeerStream();

    // Told by a peer's receive thread when its connection ended: begin (false when the server
    // is being destroyed, which then destroys the peer itself), then finish once the peer
    // stream has been closed.
    bool beginPeerEnd(IOSTStream& peer);
    void finishPeerEnd(IOSTStream& peer);
    // A peer stream was closed from outside its receive thread.
    void peerClosed(IOSTStream& peer);
    // A peer's transport is being destroyed.
    void forgetTransport(IOSTStream& peer);

    // The accept thread, or a peer's receive thread, may be waiting for the caller: the
    // transport is then destroyed on that thread as it ends.
    bool handOffToOwnThread(std::unique_ptr<StreamDevice>& self) override;

private:
    class AcceptThread;
    struct Peer
    {
        std::unique_ptr<SocketPeerStream> stream;
        PeerSocketDevice* transport = nullptr; // until it is destroyed
        bool disconnectTold = false;
        bool ended = false; // handed back for destruction
    };

    bool acceptStep();
    void acceptOne();
    void releasePeer(IOSTStream& peer);
    void pauseAccepting();
    void reapEnded();
    void stopAccepting();
    // Marks the peer's disconnect as told; true when it had not been.
    bool takeDisconnect(IOSTStream& peer);
    Peer* find(IOSTStream& peer);

    SocketHandle m_listener;
    WakeEvent m_wake;
    std::atomic<bool> m_open{false};
    std::atomic<std::uint16_t> m_port{0};
    std::unique_ptr<AcceptThread> m_thread;

    mutable std::mutex m_peersMutex;
    std::vector<Peer> m_peers; // newest first
    int m_ending = 0; // peers between beginPeerEnd and finishPeerEnd
    bool m_destroying = false;
};

} // namespace zeb::stream::socket
