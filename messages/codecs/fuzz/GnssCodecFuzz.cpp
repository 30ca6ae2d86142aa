// Decodes arbitrary frames with the members 'U', 'S', 'E', 'A' and 'R'/'Q'/'r' and checks what a decode promises: no
// crash, and for the data-word members that what renders also reads back to the same text and binary frame.
//
// Input layout: byte 0 chooses the codec, byte 1 the form (even: binary with the member's letter put in place, odd: as
// given); the rest is the frame.
#include "messages/codecs/AlmanacCodec.h"
#include "messages/codecs/CodecStatus.h"
#include "messages/codecs/EphemerisCodec.h"
#include "messages/codecs/HealthCodec.h"
#include "messages/codecs/IonoUtcCodec.h"
#include "messages/codecs/MeasurementCodec.h"
#include "testsupport/FuzzCheck.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using namespace zeb::codecs;

using zeb::testsupport::check;

struct Codecs
{
    IonoUtcCodec iono;
    HealthCodec health;
    EphemerisCodec ephemeris;
    AlmanacCodec almanac;
    IonoUtcCodec ionoCheck;
    HealthCodec healthCheck;
    EphemerisCodec ephemerisCheck;
    AlmanacCodec almanacCheck;
    MeasurementCodec measurement;
    OutputBuffer first;
    OutputBuffer second;
};

Codecs& codecs()
{
    static auto* all = new Codecs;
    return *all;
}

bool same(const OutputBuffer& a, const OutputBuffer& b)
{
    return a.size() == b.size() && std::memcmp(a.bytes().data(), b.bytes().data(), a.size()) == 0;
}

void roundTrip(DataWordCodec& codec, DataWordCodec& check2, const std::vector<std::uint8_t>& frame)
{
    Codecs& c = codecs();
    if (codec.decode(frame) != codec_status::Ok) {
        check(!codec.valid());
        return;
    }
    // The text keeps one decimal of the seconds: whole seconds read back exactly.
    codec.setTime({codec.time().week, std::floor(codec.time().seconds)});
    check(codec.renderText(c.first) == codec_status::Ok);
    const auto text = c.first.bytes();
    check(check2.decode(text) == codec_status::Ok);
    check(check2.renderText(c.second) == codec_status::Ok);
    check(same(c.first, c.second));
    check(codec.renderBinary(c.first) == codec_status::Ok);
    check(check2.renderBinary(c.second) == codec_status::Ok);
    check(same(c.first, c.second));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) {
        return 0;
    }
    static constexpr char kLetters[] = {'U', 'S', 'E', 'A', 'R', 'Q', 'r'};
    const std::size_t choice = data[0] % sizeof(kLetters);
    std::vector<std::uint8_t> frame(data + 2, data + size);
    if (data[1] % 2 == 0 && frame.size() >= 2) {
        frame[0] = 0xFE;
        frame[1] = static_cast<std::uint8_t>(kLetters[choice]);
    }
    Codecs& c = codecs();
    switch (choice) {
    case 0:
        roundTrip(c.iono, c.ionoCheck, frame);
        break;
    case 1:
        roundTrip(c.health, c.healthCheck, frame);
        break;
    case 2:
        roundTrip(c.ephemeris, c.ephemerisCheck, frame);
        break;
    case 3:
        roundTrip(c.almanac, c.almanacCheck, frame);
        break;
    default:
        if (c.measurement.decode(frame) == codec_status::Ok) {
            check(c.measurement.blockCount() <= MeasurementCodec::kMaxBlocks);
            const int status = c.measurement.renderText(c.first);
            check(status == codec_status::Ok || c.measurement.variant() == MeasurementCodec::RawVariant);
        }
        break;
    }
    return 0;
}
