#include "messages/codecs/UhfMessageCodec.h"

#include "messages/codecs/CodecStatus.h"
#include "messages/codecs/WireFormat.h"

#include <algorithm>

namespace zeb::codecs {

UhfMessageCodec::UhfMessageCodec()
    : UhfCodec({'X', messages::message_type::UhfMessage, true, 6, false})
{
}

void UhfMessageCodec::reset()
{
    UhfCodec::reset();
    m_size = 0;
}

int UhfMessageCodec::decodeRecords(std::span<const std::uint8_t> records)
{
    m_size = std::min(records.size(), kMaxPayload);
    std::copy_n(records.begin(), m_size, m_payload.begin());
    return codec_status::Ok;
}

int UhfMessageCodec::renderText(OutputBuffer& out) const
{
    if (!valid()) {
        out.clear();
        return codec_status::NotRendered;
    }
    beginText(out);
    out.appendFormat("!X,%u\r\n", address());
    for (std::size_t i = 0; i < m_size; ++i) {
        const std::uint8_t byte = m_payload[i];
        if (byte >= 0x20 && byte <= 0x7F) {
            out.append(byte);
        } else {
            out.appendFormat("\\x%02X", unsigned{byte});
        }
    }
    out.append(kEtx);
    return out.overflowed() ? codec_status::NotRendered : codec_status::Ok;
}

} // namespace zeb::codecs
