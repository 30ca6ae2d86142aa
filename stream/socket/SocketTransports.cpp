#include "stream/socket/SocketTransports.h"

#include "stream/StreamRegistry.h"
#include "stream/socket/ClientSocketDevice.h"
#include "stream/socket/ServerSocketDevice.h"

namespace zeb::stream::socket {

void registerSocketTransports()
{
    auto& registry = StreamRegistry::instance();
    registry.setTransportFactory(stream_type::Client, {[] { return std::make_unique<ClientSocketDevice>(); }, false});
    registry.setTransportFactory(stream_type::Server, {[] { return std::make_unique<ServerSocketDevice>(); }, false});
}

} // namespace zeb::stream::socket
