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
    if (size > kLimit - m_bytes.size() || (m_framed && data.size() > RecordFrame::kMaxData))
        return false;
    // Reserved whole at the first record, so appending never allocates again (a swap moves the reserve along).
    if (m_bytes.capacity() < kLimit)
        m_bytes.reserve(kLimit);
    const std::size_t at = m_bytes.size();
    m_bytes.resize(at + size);
    const std::span<std::uint8_t> free = std::span(m_bytes).subspan(at);
    if (m_framed)
        RecordFrame::build(header, data, free);
    else if (!data.empty())
        std::memcpy(free.data(), data.data(), data.size());
    m_counted += m_framed ? data.size() + RecordHeader::kSize : data.size();
    return true;
}

void RecordBacklog::cut(unsigned index, std::string name)
{
    m_cuts.push_back({m_bytes.size(), m_counted, index, std::move(name)});
}

void RecordBacklog::swap(RecordBacklog& other) noexcept
{
    m_bytes.swap(other.m_bytes);
    m_cuts.swap(other.m_cuts);
    std::swap(m_counted, other.m_counted);
}

void RecordBacklog::clear()
{
    m_bytes.clear();
    m_cuts.clear();
    m_counted = 0;
}

bool RecordBacklog::writeTo(FileSeriesStream& output) const
{
    std::size_t at = 0;
    std::uint64_t counted = 0;
    const std::span<const std::uint8_t> bytes(m_bytes);
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
