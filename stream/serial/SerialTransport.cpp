#include "stream/serial/SerialTransport.h"

#include "stream/StreamRegistry.h"
#include "stream/serial/SerialDevice.h"

namespace zeb::stream::serial {

void registerSerialTransport()
{
    TransportFactory factory;
    factory.create = [] { return std::make_unique<SerialDevice>(); };
    factory.escapeOnWrite = true;
    StreamRegistry::instance().setTransportFactory(stream_type::Serial, std::move(factory));
}

} // namespace zeb::stream::serial
