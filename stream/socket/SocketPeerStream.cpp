#include "stream/socket/SocketPeerStream.h"

#include "stream/StreamDevice.h"

namespace zeb::stream::socket {

SocketPeerStream::SocketPeerStream()
    : IOSTStream(kAnonymous)
{
}

SocketPeerStream::~SocketPeerStream() = default;

void SocketPeerStream::adopt(std::unique_ptr<StreamDevice> device, std::string_view address)
{
    attachDevice(std::move(device), false);
    setAddressText(address);
}

} // namespace zeb::stream::socket
