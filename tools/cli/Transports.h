#pragma once

namespace zeb::tools {

// Registers the serial and socket transports this build has, once.
void registerTransports();

} // namespace zeb::tools
