#pragma once

#include "messages/codecs/DataWordCodec.h"

namespace zeb::codecs {

// 'U', "GNSS IONO/TROPO": words 3 to 10 of subframe 4, page 18 (ionospheric and UTC parameters). The binary message is
// 31 bytes: 0xFE, 'U', L = 27, 24 body bytes, the checksum, 0xFF.
class IonoUtcCodec : public DataWordCodec
{
public:
    // Engineering units: seconds, seconds per semicircle^n, seconds per second; t_ot in seconds.
    enum Field : std::size_t {
        DataAndPageId, // as received
        Alpha0,
        Alpha1,
        Alpha2,
        Alpha3,
        Beta0,
        Beta1,
        Beta2,
        Beta3,
        A1,
        A0,
        Tot,
        WnT,
        DeltaTls,
        WnLsf,
        Dn,
        DeltaTlsf,
        Word10Rest, // the remaining 16 bits of word 10, as received
    };

    IonoUtcCodec();
};

} // namespace zeb::codecs
