#include "messages/codecs/UhfPhaseCodec.h"

#include "messages/codecs/CodecStatus.h"
#include "messages/codecs/WireFormat.h"

namespace zeb::codecs {

namespace {

constexpr std::size_t kPositionSize = 12;
constexpr std::size_t kRecordSize = 6;

} // namespace

UhfPhaseCodec::UhfPhaseCodec()
    : UhfCodec({'P', messages::message_type::UhfPhase, false, 26, true})
{
}

void UhfPhaseCodec::reset()
{
    UhfCodec::reset();
    m_position.fill(0);
    m_records.fill({});
    m_count = 0;
}

int UhfPhaseCodec::decodeRecords(std::span<const std::uint8_t> records)
{
    if (records.size() < kPositionSize) {
        return codec_status::NoValidRecord;
    }
    for (std::size_t i = 0; i < 3; ++i) {
        m_position[i] = signExtend(readBigEndian(records.data() + 4 * i, 4), 32);
    }
    records = records.subspan(kPositionSize);
    if (records.size() % kRecordSize != 0 || records.size() / kRecordSize > kMaxRecords) {
        return codec_status::NoValidRecord;
    }
    for (std::size_t at = 0; at < records.size(); at += kRecordSize) {
        if (satelliteIndex(records[at]) < 0) {
            continue;
        }
        const std::uint8_t flags = records[at + 5];
        m_records[m_count++] = {records[at], signExtend(readBigEndian(records.data() + at + 1, 4), 32),
                                (flags & 0x80) != 0, static_cast<std::uint8_t>(flags & 0x7F)};
    }
    return m_count == 0 ? codec_status::NoValidRecord : codec_status::Ok;
}

int UhfPhaseCodec::renderText(OutputBuffer& out) const
{
    if (!valid()) {
        out.clear();
        return codec_status::NotRendered;
    }
    beginText(out);
    appendPosition(out, m_position);
    out.appendFormat("%%K,%d,%d,0\r\n", static_cast<int>(address()), static_cast<int>(value()));
    for (std::size_t i = 0; i < m_count; ++i) {
        const Record& r = m_records[i];
        out.appendFormat("*,%u,,%.0f,,,%c,%02X\r\n", unsigned{r.satellite}, static_cast<double>(r.phase),
                         r.l2 ? '2' : '1', unsigned{r.counter});
    }
    out.append(kEtx);
    return out.overflowed() ? codec_status::NotRendered : codec_status::Ok;
}

} // namespace zeb::codecs
