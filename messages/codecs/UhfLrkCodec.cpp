#include "messages/codecs/UhfLrkCodec.h"

#include "messages/codecs/CodecStatus.h"
#include "messages/codecs/WireFormat.h"

namespace zeb::codecs {

namespace {

constexpr std::size_t kPositionSize = 12;
constexpr std::size_t kShortRecord = 17;
constexpr std::size_t kLongRecord = 37;

std::int32_t signed32(const std::uint8_t* at)
{
    return signExtend(readBigEndian(at, 4), 32);
}

} // namespace

UhfLrkCodec::UhfLrkCodec()
    : UhfCodec({'T', messages::message_type::UhfLrk, true, 25, true})
{
}

void UhfLrkCodec::reset()
{
    UhfCodec::reset();
    m_position.fill(0);
    m_long = false;
    m_records.fill({});
    m_count = 0;
}

int UhfLrkCodec::decodeRecords(std::span<const std::uint8_t> records)
{
    if (records.size() < kPositionSize + 1) {
        return codec_status::NoValidRecord;
    }
    for (std::size_t i = 0; i < 3; ++i) {
        m_position[i] = signed32(records.data() + 4 * i);
    }
    m_long = (records[kPositionSize] & 0x01) != 0;
    records = records.subspan(kPositionSize + 1);
    const std::size_t size = m_long ? kLongRecord : kShortRecord;
    if (records.size() % size != 0 || records.size() / size > kMaxRecords) {
        return codec_status::NoValidRecord;
    }
    for (std::size_t at = 0; at < records.size(); at += size) {
        const std::uint8_t* r = records.data() + at;
        if (satelliteIndex(r[0]) < 0) {
            continue;
        }
        Record& record = m_records[m_count++];
        record.satellite = r[0];
        for (std::size_t i = 0; i < 3; ++i) {
            record.corrections[i] = signed32(r + 1 + 4 * i);
        }
        record.issue = r[13];
        record.lock = r[14];
        record.flags = {r[15], r[16]};
        for (std::size_t i = 0; m_long && i < 5; ++i) {
            record.extended[i] = signed32(r + kShortRecord + 4 * i);
        }
    }
    return m_count == 0 ? codec_status::NoValidRecord : codec_status::Ok;
}

int UhfLrkCodec::renderText(OutputBuffer& out) const
{
    if (!valid()) {
        out.clear();
        return codec_status::NotRendered;
    }
    beginText(out);
    appendPosition(out, m_position);
    out.appendFormat("%%T,%d,%d,%u,%d\r\n", static_cast<int>(address()), static_cast<int>(value()),
                     static_cast<unsigned>(m_count), m_long ? 1 : 0);
    for (std::size_t i = 0; i < m_count; ++i) {
        const Record& r = m_records[i];
        const auto& c = r.corrections;
        if (!m_long) {
            out.appendFormat("*,%d,%.0f,%.0f,%.0f,%d,%d,%02X,%02X\r\n", int{r.satellite}, double(c[0]), double(c[1]),
                             double(c[2]), int{r.issue}, int{r.lock}, unsigned{r.flags[0]}, unsigned{r.flags[1]});
            continue;
        }
        const auto& e = r.extended;
        out.appendFormat("*,%d,%.0f,%.0f,%.0f,%d,%d,%02X,%02X,%.0f,%.0f,%.0f,%.0f,%.0f", int{r.satellite}, double(c[0]),
                         double(c[1]), double(c[2]), int{r.issue}, int{r.lock}, unsigned{r.flags[0]},
                         unsigned{r.flags[1]}, double(e[0]), double(e[1]), double(e[2]), double(e[3]), double(e[4]));
        out.append("\r\n");
    }
    out.append(kEtx);
    return out.overflowed() ? codec_status::NotRendered : codec_status::Ok;
}

} // namespace zeb::codecs
