// Renders arbitrary frames as GNSS2 event records: no crash, and a text is either empty or a whole STX ... ETX frame.
//
// Input layout: byte 0 chooses the record type (8-12, or any other), byte 1 whether 0xFE and the type's letter are put
// in place (even) or kept; the rest is the frame.
#include "messages/codecs/CodecStatus.h"
#include "messages/codecs/Gnss2EventCodec.h"
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
    static auto* codec = new Gnss2EventCodec;
    static auto* out = new OutputBuffer;
    if (size < 2) {
        return 0;
    }
    static constexpr std::uint8_t kLetters[] = {0xE0, 0xE1, 0xE3, 0xE4, 0xE2, 0x55};
    const std::size_t choice = data[0] % 6;
    std::vector<std::uint8_t> frame(data + 2, data + size);
    if (data[1] % 2 == 0 && frame.size() >= 2) {
        frame[0] = 0xFE;
        frame[1] = kLetters[choice];
    }
    const int status = codec->renderRecord(8 + static_cast<unsigned>(choice), frame, *out);
    if (status != codec_status::Ok) {
        check(out->size() == 0);
        return 0;
    }
    const auto text = out->bytes();
    check(text.empty() || (text.front() == 0x02 && text.back() == 0x03));
    return 0;
}
