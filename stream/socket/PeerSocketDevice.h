#pragma once

#include "stream/socket/ConnectedSocketDevice.h"

namespace zeb::stream::socket {

class ServerSocketDevice;

// The transport of one connection accepted by a server stream, attached to its own anonymous
// peer stream. When the connection ends by itself (far side, or a close from the thread's own
// notifications, as after an HTTP response), its receive thread tells the peer stream's
// subscribers "ON_STREAM_CLOSE" and the server stream's "ON_STREAM_DISCONNECT", then hands the
// stream back to the server, which destroys it on its accept thread.
class PeerSocketDevice : public ConnectedSocketDevice
{
public:
    PeerSocketDevice(ServerSocketDevice& server, IOSTStream& stream);
    ~PeerSocketDevice() override;

    // Takes the accepted socket; false when it cannot be used.
    bool adoptSocket(int fd) { return attachSocket(fd); }
    // The receive thread starts held: nothing is received, and the connection cannot end,
    // before the server has told its subscribers of the new peer and released it.
    int start() { return startReceiving(true); }
    using ConnectedSocketDevice::release;
    // A close from another thread also tells the server stream's subscribers.
    StreamStatus close() override;

    ServerSocketDevice& server() const { return m_server; }
    IOSTStream& stream() const { return m_stream; }

protected:
    void connectionEnded() override;

private:
    ServerSocketDevice& m_server;
    IOSTStream& m_stream;
};

} // namespace zeb::stream::socket
