#include "recorder/files/RecordHeader.h"

#include "recorder/files/LittleEndian.h"

#include <algorithm>

namespace zeb::recorder {

RecordHeader RecordHeader::message(std::uint8_t tag, std::uint32_t timeMs, std::uint32_t length)
{
    return RecordHeader{kMessage, tag, 0, timeMs, length, 1};
}

RecordHeader RecordHeader::text(std::uint32_t timeMs, std::uint32_t length, bool headerLine)
{
    return RecordHeader{
        kText, 0, kTextFlags, headerLine ? 0 : timeMs, length, headerLine ? std::uint8_t{0} : std::uint8_t{1}};
}

void RecordHeader::encode(std::span<std::uint8_t, kSize> out) const
{
    std::fill(out.begin(), out.end(), std::uint8_t{0});
    out[0] = type;
    out[1] = tag;
    out[3] = flags;
    putWord(out.data() + 4, timeMs);
    putWord(out.data() + 8, length);
    out[12] = marker;
    out[13] = marker;
}

RecordHeader RecordHeader::decode(std::span<const std::uint8_t, kSize> in)
{
    return RecordHeader{in[0], in[1], in[3], getWord(in.data() + 4), getWord(in.data() + 8), in[12]};
}

} // namespace zeb::recorder
