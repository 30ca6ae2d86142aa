#pragma once

#include "stream/socket/ConnectedSocketDevice.h"

#include <chrono>

namespace zeb::stream::socket {

// The transport of a TCP client stream (type 3). Opening resolves the host, connects within a
// time limit and starts the receive thread.
//
// When the far side ends the connection, the receive thread tells the stream's subscribers
// "ON_STREAM_CLOSE" and the transport stays attached, no longer open: writes send nothing. The
// stream itself is closed (or reopened) by its owner on the owner's thread, so that no other
// thread ever changes the stream under the owner's feet.
class ClientSocketDevice : public ConnectedSocketDevice
{
public:
    static constexpr std::chrono::milliseconds kDefaultConnectLimit{5000};

    ClientSocketDevice();
    ~ClientSocketDevice() override;

    // 0, or 58 when the host cannot be resolved, the connection is refused or does not come
    // up within the limit, or the receive thread cannot start.
    StreamStatus open(const StreamAddress& address) override;
    void setConnectLimit(std::chrono::milliseconds limit) { m_connectLimit = limit; }

protected:
    void connectionEnded() override;

private:
    std::chrono::milliseconds m_connectLimit = kDefaultConnectLimit;
};

} // namespace zeb::stream::socket
