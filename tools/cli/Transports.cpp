#include "Transports.h"

#ifdef ZEB500_HAVE_SERIAL
#include "stream/serial/SerialTransport.h"
#endif
#ifdef ZEB500_HAVE_SOCKET
#include "stream/socket/SocketTransports.h"
#endif

namespace zeb::tools {

void registerTransports()
{
#ifdef ZEB500_HAVE_SERIAL
    stream::serial::registerSerialTransport();
#endif
#ifdef ZEB500_HAVE_SOCKET
    stream::socket::registerSocketTransports();
#endif
}

} // namespace zeb::tools
