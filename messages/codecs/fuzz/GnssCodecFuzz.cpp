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
#include <iterator>
#include <vector>

namespace {

using namespace zeb::codecs;

using zeb::testsupport::check;

bool same(const OutputBuffer& a, const OutputBuffer& b)
{
    return a.size() == b.size() && std::memcmp(a.bytes().data(), b.bytes().data(), a.size()) == 0;
}

// Kept from run to run, as the terminal keeps its codecs.
template <typename Codec>
void roundTrip(const std::vector<std::uint8_t>& frame)
{
    static auto* codec = new Codec;
    static auto* again = new Codec;
    static auto* first = new OutputBuffer;
    static auto* second = new OutputBuffer;
    if (codec->decode(frame) != codec_status::Ok) {
        check(!codec->valid());
        return;
    }
    // The text keeps one decimal of the seconds: whole seconds read back exactly.
    codec->setTime({codec->time().week, std::floor(codec->time().seconds)});
    check(codec->renderText(*first) == codec_status::Ok);
    check(again->decode(first->bytes()) == codec_status::Ok);
    check(again->renderText(*second) == codec_status::Ok);
    check(same(*first, *second));
    check(codec->renderBinary(*first) == codec_status::Ok);
    check(again->renderBinary(*second) == codec_status::Ok);
    check(same(*first, *second));
}

void measurement(const std::vector<std::uint8_t>& frame)
{
    static auto* codec = new MeasurementCodec;
    static auto* out = new OutputBuffer;
    if (codec->decode(frame) == codec_status::Ok) {
        check(codec->blockCount() <= MeasurementCodec::kMaxBlocks);
        const int status = codec->renderText(*out);
        check(status == codec_status::Ok || codec->variant() == MeasurementCodec::RawVariant);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) {
        return 0;
    }
    static constexpr char kLetters[] = {'U', 'S', 'E', 'A', 'R', 'Q', 'r'};
    using Check = void (*)(const std::vector<std::uint8_t>&);
    static constexpr Check kRoundTrips[]
        = {roundTrip<IonoUtcCodec>, roundTrip<HealthCodec>, roundTrip<EphemerisCodec>, roundTrip<AlmanacCodec>};
    const std::size_t choice = data[0] % sizeof(kLetters);
    std::vector<std::uint8_t> frame(data + 2, data + size);
    if (data[1] % 2 == 0 && frame.size() >= 2) {
        frame[0] = 0xFE;
        frame[1] = static_cast<std::uint8_t>(kLetters[choice]);
    }
    if (choice < std::size(kRoundTrips)) {
        kRoundTrips[choice](frame);
    } else {
        measurement(frame);
    }
    return 0;
}
