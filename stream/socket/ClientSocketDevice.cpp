#include "stream/socket/ClientSocketDevice.h"

#include "stream/StreamAddress.h"

namespace zeb::stream::socket {

ClientSocketDevice::ClientSocketDevice()
    : ConnectedSocketDevice("client")
{
}

ClientSocketDevice::~ClientSocketDevice()
{
    // The thread must be gone before this part of the object is: it calls connectionEnded().
    claimEnd();
    stopReceiving();
}

StreamStatus ClientSocketDevice::open(const StreamAddress& address)
{
    if (isOpen())
        close();
    const auto host = resolveHost(address.client.host);
    if (!host)
        return StreamStatus::OpenFailed;
    const auto port = static_cast<std::uint16_t>(address.client.port & 0xFFFFu);
    const int fd = SocketHandle::connectTo(*host, port, m_connectLimit);
    if (fd < 0 || !attachSocket(fd))
        return StreamStatus::OpenFailed;
    if (startReceiving() != 0) {
        close();
        return StreamStatus::OpenFailed;
    }
    return StreamStatus::Ok;
}

void ClientSocketDevice::connectionEnded()
{
    notifyClose();
}

} // namespace zeb::stream::socket
