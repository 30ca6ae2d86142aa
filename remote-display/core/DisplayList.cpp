#include "remote-display/core/DisplayList.h"

#include "remote-display/core/WireWords.h"

#include <algorithm>

namespace zeb::remote_display {

DisplayList::Outcome DisplayList::take(std::span<const std::uint8_t> payload)
{
    std::uint32_t code = 0;
    if (!readWordAt(payload, 0, code))
        return Outcome::Ignored;
    switch (code) {
    case kBegin:
        m_writing = true;
        m_pendingLength = 0;
        m_pendingTruncated = false;
        return Outcome::Taken;
    case kAppend:
        if (!m_writing)
            return Outcome::Ignored;
        // After the first piece that did not fit, later (smaller) pieces would leave a hole.
        if (m_pendingTruncated || payload.size() > kCapacity - m_pendingLength) {
            m_pendingTruncated = true;
            return Outcome::Taken;
        }
        std::copy(payload.begin(), payload.end(), m_pending.begin() + static_cast<std::ptrdiff_t>(m_pendingLength));
        m_pendingLength += payload.size();
        return Outcome::Taken;
    case kEnd:
        if (!m_writing)
            return Outcome::Ignored;
        m_writing = false;
        std::copy_n(m_pending.begin(), m_pendingLength, m_shown.begin());
        m_shownLength = m_pendingLength;
        m_shownTruncated = m_pendingTruncated;
        return Outcome::Completed;
    default:
        return Outcome::Ignored;
    }
}

} // namespace zeb::remote_display
