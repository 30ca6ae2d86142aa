#pragma once

namespace zeb::stream::socket {

// Makes streams of type 3 (TCP client) and 5 (TCP server) open over sockets. Binary frames
// written to them are not escaped. Call once at start-up; calling again changes nothing.
void registerSocketTransports();

} // namespace zeb::stream::socket
