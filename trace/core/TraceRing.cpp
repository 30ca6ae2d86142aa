#include "trace/core/TraceRing.h"

#include <algorithm>

namespace zeb::trace {

TraceRing::TraceRing(std::size_t capacity)
    : m_slots(std::max<std::size_t>(capacity, 1))
{
}

void TraceRing::append(const TraceRecord& record)
{
    const std::size_t capacity = m_slots.size();
    TraceRecord& slot = m_slots[(m_oldest + m_count) % capacity];
    // Assigning keeps the slot's buffers: no allocation once they are large enough.
    slot.level = record.level;
    slot.component.assign(record.component);
    slot.file.assign(record.file);
    slot.line = record.line;
    slot.comment.assign(record.comment);
    if (m_count < capacity)
        ++m_count;
    else
        m_oldest = (m_oldest + 1) % capacity;
    ++m_appended;
}

void TraceRing::clear()
{
    m_oldest = 0;
    m_count = 0;
    m_appended = 0;
}

const TraceRecord& TraceRing::at(std::size_t index) const
{
    return m_slots[(m_oldest + index) % m_slots.size()];
}

} // namespace zeb::trace
