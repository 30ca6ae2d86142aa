#include "messages/codecs/MessageCodec.h"

#include "messages/codecs/CodecRegistry.h"
#include "messages/codecs/CodecStatus.h"
#include "messages/codecs/WireFormat.h"

#include <algorithm>

namespace zeb::codecs {

MessageCodec::MessageCodec(std::initializer_list<CodecKey> keys)
    : m_keys(keys)
{
    CodecRegistry::instance().add(this);
}

MessageCodec::~MessageCodec()
{
    CodecRegistry::instance().remove(this);
}

bool MessageCodec::handles(CodecKey key) const
{
    return std::find(m_keys.begin(), m_keys.end(), key) != m_keys.end();
}

void MessageCodec::reset()
{
    m_time = {};
    m_valid = false;
}

int MessageCodec::decode(std::span<const std::uint8_t> frame)
{
    reset();
    const int status = isText(frame) ? decodeText(frame) : decodeBinary(frame);
    m_valid = status == codec_status::Ok;
    return status;
}

int MessageCodec::renderText(OutputBuffer& out) const
{
    out.clear();
    return codec_status::NotRendered;
}

int MessageCodec::renderBinary(OutputBuffer& out) const
{
    out.clear();
    return codec_status::NotRendered;
}

bool MessageCodec::isText(std::span<const std::uint8_t> frame) const
{
    return !frame.empty() && frame[0] == kStx;
}

int MessageCodec::decodeText(std::span<const std::uint8_t>)
{
    return codec_status::NotThisCodec;
}

} // namespace zeb::codecs
