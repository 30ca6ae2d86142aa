#include "stream/socket/PeerSocketDevice.h"

#include "stream/IOSTStream.h"
#include "stream/socket/ServerSocketDevice.h"

namespace zeb::stream::socket {

PeerSocketDevice::PeerSocketDevice(ServerSocketDevice& server, IOSTStream& stream)
    : ConnectedSocketDevice("peer")
    , m_server(server)
    , m_stream(stream)
{
}

PeerSocketDevice::~PeerSocketDevice()
{
    m_server.forgetTransport(m_stream);
    claimEnd();
    stopReceiving();
}

StreamStatus PeerSocketDevice::close()
{
    const bool tell = isOpen() && !onReceiveThread();
    const StreamStatus result = ConnectedSocketDevice::close();
    if (tell)
        m_server.peerClosed(m_stream);
    return result;
}

void PeerSocketDevice::connectionEnded()
{
    // The server may be tearing its peers down: then it destroys this stream itself.
    if (!m_server.beginPeerEnd(m_stream))
        return;
    // Still attached unless a subscriber closed the stream from this thread, which told it.
    notifyClose();
    // From here on the stream may be destroyed at any time; the transport lives until this
    // thread has been joined.
    m_server.finishPeerEnd(m_stream);
}

} // namespace zeb::stream::socket
