#pragma once

#include "trace/core/TraceRecord.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zeb::trace {

// The most recent trace records, at most `capacity` of them: once full, each new record takes the place of the
// oldest. The slots keep their text buffers, so a long trace settles at a constant memory size and a warm ring
// appends without allocating.
class TraceRing
{
public:
    static constexpr std::size_t kDefaultCapacity = 1000;

    explicit TraceRing(std::size_t capacity = kDefaultCapacity);

    void append(const TraceRecord& record);
    // Forgets every record (the buffers stay for the next ones).
    void clear();

    std::size_t capacity() const { return m_slots.size(); }
    std::size_t size() const { return m_count; }
    // Record `index` counted from the oldest kept.
    const TraceRecord& at(std::size_t index) const;
    // How many records were ever appended since the last clear: tells a reader how many it has not seen.
    std::uint64_t appended() const { return m_appended; }

private:
    std::vector<TraceRecord> m_slots;
    std::size_t m_oldest = 0;
    std::size_t m_count = 0;
    std::uint64_t m_appended = 0;
};

} // namespace zeb::trace
