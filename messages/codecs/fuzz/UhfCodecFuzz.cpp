// Decodes arbitrary frames with the UHF members 'C', 'P', 'T' and 'X' and renders what decodes: no crash, and every
// text is a whole STX ... ETX frame.
//
// Input layout: byte 0 chooses the codec, byte 1 whether STX and the letter are put in place (even) or kept; the rest
// is the frame.
#include "messages/codecs/CodecStatus.h"
#include "messages/codecs/UhfCodeCodec.h"
#include "messages/codecs/UhfLrkCodec.h"
#include "messages/codecs/UhfMessageCodec.h"
#include "messages/codecs/UhfPhaseCodec.h"
#include "testsupport/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

using namespace zeb::codecs;

using zeb::testsupport::check;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Kept from run to run, as the terminal keeps its codecs.
    static UhfCodec* const all[] = {new UhfCodeCodec, new UhfPhaseCodec, new UhfLrkCodec, new UhfMessageCodec};
    static auto* out = new OutputBuffer;
    if (size < 2) {
        return 0;
    }
    static constexpr char kLetters[] = {'C', 'P', 'T', 'X'};
    const std::size_t choice = data[0] % 4;
    std::vector<std::uint8_t> frame(data + 2, data + size);
    if (data[1] % 2 == 0 && frame.size() >= 2) {
        frame[0] = 0x02;
        frame[1] = static_cast<std::uint8_t>(kLetters[choice]);
    }
    UhfCodec& codec = *all[choice];
    codec.setReferenceTime(zeb::messages::GnssTime{2300, 100.0});
    if (codec.decode(frame) != codec_status::Ok) {
        check(!codec.valid());
        return 0;
    }
    check(codec.length() <= frame.size());
    check(codec.renderText(*out) == codec_status::Ok);
    const auto text = out->bytes();
    check(text.size() >= 4 && text.front() == 0x02 && text.back() == 0x03);
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        check(text[i] >= 0x0A && text[i] <= 0x7F && text[i] != 0x03);
    }
    return 0;
}
