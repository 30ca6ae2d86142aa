#include "messages/codecs/MeasurementCodec.h"

#include "messages/codecs/CodecStatus.h"
#include "messages/codecs/WireFormat.h"

namespace zeb::codecs {

namespace {

constexpr std::size_t kCoreBlock = 14;
constexpr std::size_t kSecondPart = 13;
constexpr std::int32_t kAbsent24 = -0x800000;
constexpr std::int32_t kAbsent16 = -0x8000;
constexpr std::int32_t kAbsent8 = -0x80;

std::optional<std::int32_t> signedField(const std::uint8_t* at, std::size_t bytes, std::int32_t absent)
{
    const std::int32_t value = signExtend(readBigEndian(at, bytes), static_cast<unsigned>(bytes * 8));
    if (value == absent) {
        return std::nullopt;
    }
    return value;
}

void appendOptional(OutputBuffer& out, const std::optional<std::int32_t>& value)
{
    if (value) {
        out.appendFormat(",%1.0lf", static_cast<double>(*value));
    } else {
        out.append(",");
    }
}

} // namespace

std::optional<double> SatelliteBlock::m1PlusD2() const
{
    if (!d2) {
        return std::nullopt;
    }
    return (static_cast<double>(m1) + *d2) * 1e-10;
}

std::optional<double> SatelliteBlock::m1PlusD3() const
{
    if (!d3) {
        return std::nullopt;
    }
    return (static_cast<double>(m1) + *d3) * 1e-10;
}

MeasurementCodec::MeasurementCodec()
    : MessageCodec({{messages::MessageKind::SBin, messages::message_type::GnssMeasureSatellite},
                    {messages::MessageKind::SBin, messages::message_type::GnssMeasureReceiver},
                    {messages::MessageKind::SVar, messages::message_type::GnssMeasureSatellite},
                    {messages::MessageKind::SVar, messages::message_type::GnssMeasureReceiver}})
{
}

void MeasurementCodec::reset()
{
    MessageCodec::reset();
    m_variant = SatelliteVariant;
    m_extra = 0;
    m_flags = 0;
    m_blocks.fill({});
    m_count = 0;
    m_checksumOk = false;
}

unsigned MeasurementCodec::interval() const
{
    static constexpr unsigned kIntervals[] = {30, 180, 600, 1800};
    return kIntervals[m_flags & 0x03];
}

int MeasurementCodec::decodeBinary(std::span<const std::uint8_t> frame)
{
    SBinFrame sbin;
    const int status = readSBin(frame, sbin);
    if (status != codec_status::Ok) {
        return status;
    }
    switch (sbin.letter) {
    case 'R':
        m_variant = SatelliteVariant;
        break;
    case 'Q':
        m_variant = ReceiverVariant;
        break;
    case 'r':
        m_variant = RawVariant;
        break;
    default:
        return codec_status::NotThisCodec;
    }
    m_checksumOk = sbin.checksumOk;
    const std::size_t header = m_variant == ReceiverVariant ? 9 : 6;
    if (sbin.body.size() < header) {
        return codec_status::NotThisCodec;
    }
    const std::uint8_t* body = sbin.body.data();
    const double seconds = readBigEndian(body + 2, 3) * 0.1;
    if (seconds >= messages::GnssTime::kSecondsPerWeek) {
        return codec_status::NotThisCodec;
    }
    setTime({static_cast<std::uint16_t>(readBigEndian(body, 2)), seconds});
    if (m_variant == ReceiverVariant) {
        m_extra = readBigEndian(body + 5, 3);
    }
    m_flags = body[header - 1];
    std::size_t size = kCoreBlock + ((m_flags & 0x08) != 0 ? 1 : 0) + (m_variant == RawVariant ? 1 : 0);
    size += secondParts() ? kSecondPart : 0;
    for (std::size_t at = header; at + size <= sbin.body.size() && m_count < kMaxBlocks; at += size) {
        const int blockStatus = readBlock(body + at, m_blocks[m_count]);
        if (blockStatus != codec_status::Ok) {
            return blockStatus;
        }
        ++m_count;
    }
    return codec_status::Ok;
}

int MeasurementCodec::readBlock(const std::uint8_t* at, SatelliteBlock& block) const
{
    if ((m_flags & 0x08) != 0) {
        block.channel = *at++;
    }
    block.wireSatellite = *at++;
    block.satellite = satelliteIndex(block.wireSatellite);
    if (block.satellite < 0) {
        return codec_status::BadSatellite;
    }
    if (m_variant == RawVariant) {
        block.channel = *at++;
    }
    block.m1 = readBigEndian(at, 4);
    block.s = at[4];
    block.level = (block.s & 0x1FU) + (coarse() ? 26U : 23U);
    block.m2 = readBigEndian(at + 5, 3);
    block.m3 = signedField(at + 8, 3, kAbsent24);
    block.k1 = at[11];
    block.k2 = at[12];
    at += 13;
    if (!secondParts() || (block.s & 0x40) != 0) {
        return codec_status::Ok;
    }
    block.hasSecondPart = true;
    block.d1 = signedField(at, 1, kAbsent8);
    block.d2 = signedField(at + 1, 2, kAbsent16);
    block.d3 = signedField(at + 3, 2, kAbsent16);
    block.m4 = readBigEndian(at + 5, 3);
    block.m5 = signedField(at + 8, 3, kAbsent24);
    block.k3 = at[11];
    block.k4 = at[12];
    return codec_status::Ok;
}

int MeasurementCodec::renderText(OutputBuffer& out) const
{
    out.clear();
    // 'r' has no text form.
    if (!valid() || m_variant == RawVariant) {
        return codec_status::NotThisCodec;
    }
    const char mark = coarse() ? '&' : '#';
    out.append(kStx);
    if (m_variant == ReceiverVariant) {
        out.appendFormat("\r\n!Q,%u,%1.1lf,%u\r\n%c", unsigned{time().week}, time().seconds, m_extra, mark);
    } else {
        out.appendFormat("\r\n!R,%u,%1.1lf\r\n%c", unsigned{time().week}, time().seconds, mark);
    }
    out.append(secondParts() ? "P," : "C,");
    out.appendFormat("%.1lf,%d\r\n", static_cast<double>(interval()), static_cast<int>(flagBits45()));
    for (std::size_t i = 0; i < m_count; ++i) {
        renderBlock(out, i);
    }
    out.append(kEtx);
    return out.overflowed() ? codec_status::NotRendered : codec_status::Ok;
}

void MeasurementCodec::renderBlock(OutputBuffer& out, std::size_t index) const
{
    const SatelliteBlock& b = m_blocks[index];
    out.appendFormat("*%X,", b.channel ? unsigned{*b.channel} : static_cast<unsigned>(index + 1));
    out.appendFormat("%u,%.0lf,%.0lf,", unsigned{b.wireSatellite}, static_cast<double>(b.m1),
                     static_cast<double>(b.m2));
    if (b.m3) {
        out.appendFormat("%.0lf,", static_cast<double>(*b.m3));
    } else {
        out.append(",");
    }
    out.appendFormat("%01X,", static_cast<unsigned>(b.s >> 5));
    out.appendFormat("%02X,", b.level);
    out.appendFormat("%02X,", unsigned{b.k1});
    out.appendFormat("%02X", unsigned{b.k2});
    if (b.hasSecondPart) {
        appendOptional(out, b.d1);
        appendOptional(out, b.d2);
        appendOptional(out, b.d3);
        out.appendFormat(",%1.0lf", static_cast<double>(b.m4));
        appendOptional(out, b.m5);
        out.appendFormat(",%02X", unsigned{b.k3});
        out.appendFormat(",%02X", unsigned{b.k4});
    } else {
        out.append(",,,,,,,");
    }
    out.append("\r\n");
}

} // namespace zeb::codecs
