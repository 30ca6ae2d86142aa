#pragma once

#include "messages/codecs/DataWordCodec.h"

namespace zeb::codecs {

// 'A', "GNSS ALMANACH": the satellite and the almanac week ("%u,%u"), then words 3 to 10 of the almanac page of that
// satellite (subframe 5 pages 1-24, subframe 4 pages 2-5 and 7-10).
class AlmanacCodec : public DataWordCodec
{
public:
    enum Field : std::size_t {
        DataAndSvId, // as received
        Eccentricity,
        Toa,
        DeltaI,
        OmegaDot,
        SvHealth,
        SqrtA,
        Omega0,
        Omega,
        M0,
        Af0High, // the eight most significant bits of a_f0, as received
        Af1,
        Af0Low, // the three least significant bits of a_f0, as received
    };

    AlmanacCodec();

    // a_f0 in seconds, joined from its two parts.
    double af0() const;
};

} // namespace zeb::codecs
