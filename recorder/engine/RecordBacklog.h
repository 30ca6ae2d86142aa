#pragma once

#include "recorder/files/RecordHeader.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace zeb::recorder {

class FileSeriesStream;

// Records built in memory by the receive threads, waiting for whichever thread writes next. Building them takes no
// system call, so the lock that orders them is never held across a write. What waits is bounded: a disk that does
// not keep up shows as a refused record (a write failure) rather than as memory that grows.
//
// A cut marks where the series rolls over: what follows it goes to the named file.
class RecordBacklog
{
public:
    static constexpr std::size_t kLimit = std::size_t{1} << 20;

    RecordBacklog();

    // Framed records (the default) or the data bytes alone.
    void setFramed(bool framed) { m_framed = framed; }
    bool framed() const { return m_framed; }
    // Adds one record; false, adding nothing, when it would take the backlog past kLimit or is too large for a record.
    bool append(const RecordHeader& header, std::span<const std::uint8_t> data);
    // What is appended from now on belongs to file `name`, of index `index`.
    void cut(unsigned index, std::string name);

    bool empty() const { return m_size == 0 && m_cuts.empty(); }
    std::size_t size() const { return m_size; }
    bool hasCut() const { return !m_cuts.empty(); }
    // Exchanges the waiting records with those of `other` (the framing setting stays).
    void swap(RecordBacklog& other) noexcept;
    void clear();

    // Hands everything to `output`, rolling it over at each cut; false at the first refusal.
    bool writeTo(FileSeriesStream& output) const;

private:
    struct Cut
    {
        std::size_t offset = 0;
        std::uint64_t counted = 0; // of the records before the cut
        unsigned index = 0;
        std::string name;
    };

    // kLimit bytes, allocated at the first record; a swap moves it along, so appending never allocates.
    std::unique_ptr<std::uint8_t[]> m_bytes;
    std::size_t m_size = 0;
    std::vector<Cut> m_cuts;
    std::uint64_t m_counted = 0; // data + header bytes of the records, as the series counts them
    bool m_framed = true;
};

} // namespace zeb::recorder
