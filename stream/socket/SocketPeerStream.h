#pragma once

#include "stream/IOSTStream.h"

#include <memory>
#include <string_view>

namespace zeb::stream::socket {

// The anonymous stream (identifier -1) a server stream makes for each accepted connection.
// The server owns it; subscribers reach it through "ON_STREAM_CONNECT".
class SocketPeerStream : public IOSTStream
{
public:
    SocketPeerStream();
    ~SocketPeerStream() override;

    // Attaches the transport of the accepted connection and names the stream after it.
    void adopt(std::unique_ptr<StreamDevice> device, std::string_view address);
};

} // namespace zeb::stream::socket
