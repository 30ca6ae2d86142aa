#pragma once

#include <string>

namespace zeb::tools::sim {

// A made-up GPS sky for demos and tests: nine satellites drifting a little each second, one
// rising from below the horizon through a 10 degree mask, one setting below the horizon, and an
// SBAS satellite (NMEA number 33), so that 9 to 11 GPS satellites are in view. Each epoch is a
// $GPGGA, a $GPGSA of the GPS satellites above the mask and a $GPGSV group of every satellite above
// the horizon, all with checksums and CR LF.
class SkyConstellation
{
public:
    static constexpr double kMaskDegrees = 10.0;

    // The sentences of the epoch `second` seconds after the start.
    static std::string epoch(unsigned second);
    // `seconds` epochs one after the other: a log the capture player can play in a loop.
    static std::string log(unsigned seconds);
};

} // namespace zeb::tools::sim
