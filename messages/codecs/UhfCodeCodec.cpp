#include "messages/codecs/UhfCodeCodec.h"

#include "messages/codecs/CodecStatus.h"
#include "messages/codecs/WireFormat.h"

namespace zeb::codecs {

namespace {

constexpr std::size_t kRecordSize = 4;
constexpr std::int32_t kAbsent = -0x800000;

} // namespace

UhfCodeCodec::UhfCodeCodec()
    : UhfCodec({'C', messages::message_type::UhfCode, false, 11, true})
{
}

void UhfCodeCodec::reset()
{
    UhfCodec::reset();
    m_records.fill({});
    m_count = 0;
}

int UhfCodeCodec::decodeRecords(std::span<const std::uint8_t> records)
{
    if (records.size() % kRecordSize != 0 || records.size() / kRecordSize > kMaxRecords) {
        return codec_status::NoValidRecord;
    }
    for (std::size_t at = 0; at < records.size(); at += kRecordSize) {
        const std::int32_t correction = signExtend(readBigEndian(records.data() + at + 1, 3), 24);
        if (satelliteIndex(records[at]) < 0 || correction == kAbsent) {
            continue;
        }
        m_records[m_count++] = {records[at], correction};
    }
    return m_count == 0 ? codec_status::NoValidRecord : codec_status::Ok;
}

int UhfCodeCodec::renderText(OutputBuffer& out) const
{
    if (!valid()) {
        out.clear();
        return codec_status::NotRendered;
    }
    beginText(out);
    out.appendFormat("%%S,%d,%d,1\r\n", static_cast<int>(address() & 0x3FF), static_cast<int>(value()));
    for (std::size_t i = 0; i < m_count; ++i) {
        out.appendFormat("*%d,%.2f\r\n", int{m_records[i].satellite}, m_records[i].correction * 0.01);
    }
    out.append(kEtx);
    return out.overflowed() ? codec_status::NotRendered : codec_status::Ok;
}

} // namespace zeb::codecs
