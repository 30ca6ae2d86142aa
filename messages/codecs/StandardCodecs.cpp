#include "messages/codecs/StandardCodecs.h"

#include "messages/codecs/AlmanacCodec.h"
#include "messages/codecs/CodecRegistry.h"
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
    static const bool published = (CodecRegistry::instance().publish(codec), true);
    (void)published;
    return codec;
}

namespace {

struct MemberCodecs
{
    // Published once every member is whole.
    MemberCodecs()
    {
        for (MessageCodec* codec : std::initializer_list<MessageCodec*>{
                 &ionoUtc, &health, &ephemeris, &almanac, &measurement, &uhfCode, &uhfPhase, &uhfLrk, &uhfMessage})
            CodecRegistry::instance().publish(*codec);
    }

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
