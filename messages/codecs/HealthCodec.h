#pragma once

#include "messages/codecs/DataWordCodec.h"

namespace zeb::codecs {

// 'S', "GNSS HEALTH": words 3 to 10 of subframe 5 page 25 (t_oa, WN_a, the 6-bit health of satellites 1-24), then
// words 3 to 10 of subframe 4 page 25 (the 4-bit anti-spoofing and configuration codes of satellites 1-32, the health
// of satellites 25-32). 16 words, two text lines.
class HealthCodec : public DataWordCodec
{
public:
    static constexpr std::size_t kSatellites = 32;
    enum Field : std::size_t {
        Subframe5PageId, // data and page identifier, as received
        Toa, // seconds
        WnA,
        Subframe4PageId,
        FirstHealth, // satellites 1-32 follow in order
        FirstConfiguration = FirstHealth + kSatellites, // satellites 1-32 follow in order
    };

    HealthCodec();

    // The 6-bit health of the satellite of wire number 1-32.
    unsigned health(unsigned satellite) const;
    unsigned configuration(unsigned satellite) const;
};

} // namespace zeb::codecs
