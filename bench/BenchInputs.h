#pragma once

#include <cstdint>
#include <vector>

namespace zeb::bench {

using Bytes = std::vector<std::uint8_t>;

// Inputs of the receive-path benchmarks, each about 1 MB so that start-up effects vanish:
// the NMEA captures repeated; the RTCM2 captures repeated; and a mixed stream of sentences,
// escaped binary frames, SVar and UHF frames, RTCM2 bytes from the captures and noise.
Bytes nmeaStream();
Bytes rtcmStream();
Bytes mixedStream();

} // namespace zeb::bench
