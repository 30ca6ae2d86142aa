#include "messages/codecs/Gnss2EventCodec.h"

#include "messages/codecs/CodecStatus.h"
#include "messages/codecs/WireFormat.h"

namespace zeb::codecs {

namespace {

constexpr std::uint8_t kBData = 0xE0;
constexpr std::uint8_t kEData = 0xE1;
constexpr std::uint8_t kMessie = 0xE2;
constexpr std::uint8_t kEDataBc = 0xE3;
constexpr std::uint8_t kMeasure = 0xE4;
constexpr std::size_t kBlocksAt = 11; // offset of the first block in the frame
constexpr std::size_t kMeasureBlock = 15;

std::size_t dataBlockSize(std::uint8_t letter)
{
    return letter == kEDataBc ? 65 : 33;
}

} // namespace

Gnss2EventCodec::Gnss2EventCodec()
    : MessageCodec({{messages::MessageKind::SBin, messages::message_type::Gnss2BData},
                    {messages::MessageKind::SBin, messages::message_type::Gnss2EData},
                    {messages::MessageKind::SBin, messages::message_type::Gnss2EDataBc},
                    {messages::MessageKind::SBin, messages::message_type::Gnss2Measure},
                    {messages::MessageKind::SBin, messages::message_type::Gnss2Messie}})
{
}

void Gnss2EventCodec::reset()
{
    MessageCodec::reset();
    m_letter = 0;
    m_t = 0;
    m_a = 0;
    m_b = 0;
    m_z = 0;
    m_n = 0;
    m_blocks.fill({});
}

int Gnss2EventCodec::decodeBinary(std::span<const std::uint8_t> frame)
{
    if (frame.size() < 2 || frame[0] != kSBinStart || frame[1] < kBData || frame[1] > kMeasure) {
        return codec_status::NotThisCodec;
    }
    m_letter = frame[1];
    if (m_letter == kMessie) {
        return codec_status::Ok;
    }
    if (frame.size() < kBlocksAt) {
        return codec_status::Truncated;
    }
    const std::size_t length = readBigEndian(frame.data() + 2, 2);
    // The blocks end where the body ends (offset L + 1), before the checksum; the header needs L >= 10.
    if (length < kBlocksAt - 1) {
        return codec_status::NotThisCodec;
    }
    if (length + 1 > frame.size()) {
        return codec_status::Truncated;
    }
    m_t = readBigEndian(frame.data() + 4, 4);
    m_a = frame[8];
    const auto body = frame.subspan(kBlocksAt, length + 1 - kBlocksAt);
    if (m_letter == kMeasure) {
        m_b = frame[9];
        m_z = frame[10];
        decodeMeasureBlocks(body);
        return codec_status::Ok;
    }
    m_b = frame[9] >> 6;
    m_z = (frame[9] >> 2) & 0x0FU;
    m_n = frame[10];
    return decodeDataBlocks(body, dataBlockSize(m_letter));
}

int Gnss2EventCodec::decodeDataBlocks(std::span<const std::uint8_t> body, std::size_t size)
{
    const std::size_t kept = m_n < kSlots ? m_n : kSlots;
    if (m_n * size > body.size()) {
        return codec_status::Truncated;
    }
    for (std::size_t i = 0; i < kept; ++i) {
        const std::uint8_t* at = body.data() + i * size;
        Block& block = m_blocks[i];
        block.used = true;
        if (m_letter == kEDataBc) {
            block.p = at[0];
            block.q = at[1] >> 3;
            block.data[0] = at[2] & 0x0F;
            std::copy(at + 3, at + 65, block.data.begin() + 1);
            continue;
        }
        block.p = m_letter == kBData ? at[0] : 0;
        block.r = at[1] >> 7;
        block.q = (at[1] >> 2) & 0x1FU;
        block.s = (unsigned{at[2]} << 4) | (at[3] >> 4);
        block.data[0] = at[3] & 0x0F;
        std::copy(at + 4, at + 33, block.data.begin() + 1);
    }
    return codec_status::Ok;
}

void Gnss2EventCodec::decodeMeasureBlocks(std::span<const std::uint8_t> body)
{
    for (std::size_t offset = 0; offset + kMeasureBlock <= body.size(); offset += kMeasureBlock) {
        const std::uint8_t* at = body.data() + offset;
        const unsigned channel = at[0] >> 4;
        if (channel < 1 || channel > kSlots) {
            continue;
        }
        Block& block = m_blocks[channel - 1];
        block = {};
        block.used = true;
        block.channel = channel;
        block.f1 = (at[0] & 0x04) != 0;
        block.f2 = (at[0] & 0x02) != 0;
        block.f3 = (at[0] & 0x01) != 0;
        block.u = at[1];
        block.v = readBigEndian(at + 2, 4);
        block.w = readBigEndian(at + 6, 3);
        block.x = signExtend((readBigEndian(at + 9, 3) << 2) | (at[12] >> 6), 26);
        block.g = (at[12] >> 5) & 0x01U;
        block.h = at[12] & 0x1FU;
        block.j = at[13] >> 5;
        block.k = at[13] & 0x1FU;
        block.m = at[14] >> 4;
        block.o = (at[14] >> 1) & 0x07U;
    }
}

int Gnss2EventCodec::renderText(OutputBuffer& out) const
{
    out.clear();
    if (!valid()) {
        return codec_status::NotRendered;
    }
    if (m_letter == kMessie) {
        return codec_status::Ok;
    }
    out.append(kStx);
    if (m_letter == kMeasure) {
        renderMeasure(out);
    } else {
        renderData(out);
    }
    out.append("\r\n");
    out.append(kEtx);
    return out.overflowed() ? codec_status::NotRendered : codec_status::Ok;
}

void Gnss2EventCodec::renderData(OutputBuffer& out) const
{
    out.appendFormat("\r\n!0x%02X,%u,%u,%u,%u,%u", unsigned{m_letter}, m_t, m_a, m_b, m_z, m_n);
    const std::size_t values = m_letter == kEDataBc ? 63 : 30;
    for (std::size_t i = 0; i < kSlots && m_blocks[i].used; ++i) {
        const Block& b = m_blocks[i];
        out.appendFormat("\r\n*%2u", static_cast<unsigned>(i + 1));
        if (m_letter == kEDataBc) {
            out.appendFormat(",%3u,%2u", b.p, b.q);
        } else if (m_letter == kBData) {
            out.appendFormat(",%3u,%1u,%2u,%03X", b.p, b.r, b.q, b.s);
        } else {
            out.appendFormat(",%1u,%2u,%03X", b.r, b.q, b.s);
        }
        for (std::size_t v = 0; v < values; ++v) {
            out.appendFormat(",%02X", unsigned{b.data[v]});
        }
    }
}

void Gnss2EventCodec::renderMeasure(OutputBuffer& out) const
{
    out.appendFormat("\r\n!0xE4,%u", m_t);
    out.appendFormat(",%u", m_a);
    out.appendFormat(",%u", m_b);
    out.appendFormat(",%u", m_z);
    for (const Block& b : m_blocks) {
        if (!b.used) {
            continue;
        }
        out.append("\r\n*");
        out.appendFormat("%u,%u,%u,%u", b.channel, unsigned{b.f1}, unsigned{b.f2}, unsigned{b.f3});
        out.appendFormat(",%u", b.u);
        out.appendFormat(",%lf", b.v * 0.1);
        out.appendFormat(",%lf", b.w * 0.001);
        out.appendFormat(",%lf", b.x * 0.004);
        out.appendFormat(",%u", b.g);
        out.appendFormat(",%u", b.h + 26);
        out.appendFormat(",%u", b.j);
        out.appendFormat(",%u", b.k);
        out.appendFormat(",%u", b.m);
        out.appendFormat(",%u", b.o);
    }
}

int Gnss2EventCodec::renderRecord(messages::MessageType type, std::span<const std::uint8_t> frame, OutputBuffer& out)
{
    namespace mt = messages::message_type;
    out.clear();
    std::uint8_t expected = 0;
    switch (type) {
    case mt::Gnss2BData:
        expected = kBData;
        break;
    case mt::Gnss2EData:
        expected = kEData;
        break;
    case mt::Gnss2EDataBc:
        expected = kEDataBc;
        break;
    case mt::Gnss2Measure:
        expected = kMeasure;
        break;
    case mt::Gnss2Messie:
        reset();
        return codec_status::Ok;
    default:
        return codec_status::NotRendered;
    }
    if (frame.size() < 2 || frame[0] != kSBinStart || frame[1] != expected) {
        reset();
        return codec_status::NotRendered;
    }
    const int status = decode(frame);
    if (status != codec_status::Ok) {
        return status;
    }
    return renderText(out);
}

} // namespace zeb::codecs
