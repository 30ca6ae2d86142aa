#include "recorder/engine/RecordBacklog.h"

#include "recorder/files/FileSeriesStream.h"
#include "recorder/files/RecordFrame.h"

#include <cstring>

namespace zeb::recorder {

namespace {
// Rollovers are rare next to records: a few fit without allocating.
constexpr std::size_t kCutsReserved = 16;
} // namespace

RecordBacklog::RecordBacklog()
{
    m_cuts.reserve(kCutsReserved);
}

bool RecordBacklog::append(const RecordHeader& header, std::span<const std::uint8_t> data)
{
    const std::size_t size = m_framed ? RecordFrame::sizeFor(data.size()) : data.size();
    if (size > kLimit - m_size || (m_framed && data.size() > RecordFrame::kMaxData))
        return false;
    if (!m_bytes)
        m_bytes = std::make_unique_for_overwrite<std::uint8_t[]>(kLimit);
    const std::span<std::uint8_t> free(m_bytes.get() + m_size, size);
    m_size += size;
    if (m_framed)
        RecordFrame::build(header, data, free);
    else if (!data.empty())
        std::memcpy(free.data(), data.data(), data.size());
    m_counted += m_framed ? data.size() + RecordHeader::kSize : data.size();
    return true;
}

void RecordBacklog::cut(unsigned index, std::string name)
{
    m_cuts.push_back({m_size, m_counted, index, std::move(name)});
}

void RecordBacklog::swap(RecordBacklog& other) noexcept
{
    m_bytes.swap(other.m_bytes);
    std::swap(m_size, other.m_size);
    m_cuts.swap(other.m_cuts);
    std::swap(m_counted, other.m_counted);
}

void RecordBacklog::clear()
{
    m_size = 0;
    m_cuts.clear();
    m_counted = 0;
}

bool RecordBacklog::writeTo(FileSeriesStream& output) const
{
    std::size_t at = 0;
    std::uint64_t counted = 0;
    const std::span<const std::uint8_t> bytes(m_bytes.get(), m_size);
    for (const Cut& cut : m_cuts) {
        if (output.writeBlock(bytes.subspan(at, cut.offset - at), cut.counted - counted) != stream::StreamStatus::Ok)
            return false;
        output.setFileIndex(cut.index);
        if (output.rollOver(cut.name, "wb") != stream::StreamStatus::Ok)
            return false;
        at = cut.offset;
        counted = cut.counted;
    }
    return output.writeBlock(bytes.subspan(at), m_counted - counted) == stream::StreamStatus::Ok;
}

} // namespace zeb::recorder
