#pragma once

#include "messages/codecs/DataWordCodec.h"

namespace zeb::codecs {

// 'E', "GNSS EPHEMERIS": the satellite, then words 3 to 10 of subframes 1, 2 and 3 (clock and ephemeris parameters),
// 24 words in three text lines, one per subframe.
class EphemerisCodec : public DataWordCodec
{
public:
    // Engineering units: seconds, semicircles, metres, radians-free semicircle rates, as the broadcast message.
    enum Field : std::size_t {
        WeekNumber,
        CodeOnL2,
        Ura,
        SvHealth,
        IodcHigh,
        L2PFlag,
        Tgd,
        IodcLow,
        Toc,
        Af2,
        Af1,
        Af0, // subframe 1
        Iode2,
        Crs,
        DeltaN,
        M0,
        Cuc,
        Eccentricity,
        Cus,
        SqrtA,
        Toe,
        FitInterval,
        Aodo, // subframe 2
        Cic,
        Omega0,
        Cis,
        I0,
        Crc,
        Omega,
        OmegaDot,
        Iode3,
        Idot, // subframe 3
    };

    EphemerisCodec();

    unsigned iodc() const;
};

} // namespace zeb::codecs
