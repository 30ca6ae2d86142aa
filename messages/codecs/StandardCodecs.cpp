#include "messages/codecs/StandardCodecs.h"

#include "messages/codecs/AlmanacCodec.h"
#include "messages/codecs/EphemerisCodec.h"
#include "messages/codecs/HealthCodec.h"
#include "messages/codecs/IonoUtcCodec.h"
#include "messages/codecs/MeasurementCodec.h"
#include "messages/codecs/UhfCodeCodec.h"
#include "messages/codecs/UhfLrkCodec.h"
#include "messages/codecs/UhfMessageCodec.h"
#include "messages/codecs/UhfPhaseCodec.h"

namespace zeb::codecs {

Gnss2EventCodec& registerGnss2EventCodec()
{
    static Gnss2EventCodec codec;
    return codec;
}

namespace {

struct MemberCodecs
{
    IonoUtcCodec ionoUtc;
    HealthCodec health;
    EphemerisCodec ephemeris;
    AlmanacCodec almanac;
    MeasurementCodec measurement;
    UhfCodeCodec uhfCode;
    UhfPhaseCodec uhfPhase;
    UhfLrkCodec uhfLrk;
    UhfMessageCodec uhfMessage;
};

} // namespace

void registerMessageCodecs()
{
    registerGnss2EventCodec();
    static MemberCodecs codecs;
    (void)codecs;
}

} // namespace zeb::codecs
