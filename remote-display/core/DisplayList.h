#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace zeb::remote_display {

// The display list the receiver sends in pieces: request 4022 starts a list, each 4000 appends
// its whole payload (the code included), 4023 ends it. The list that is being written never
// shows: what is shown is the last list that was ended, so a paint between 4022 and 4023 draws
// the previous screen rather than a half-written one. A list that outgrows the capacity keeps
// what fitted before the first refused piece and nothing after it, so it never has holes.
class DisplayList
{
public:
    static constexpr std::size_t kCapacity = 12068;
    static constexpr std::uint32_t kBegin = 4022;
    static constexpr std::uint32_t kAppend = 4000;
    static constexpr std::uint32_t kEnd = 4023;

    enum class Outcome { Ignored, Taken, Completed };

    // One request payload from the peer, its code in the first word (little-endian). Completed
    // when a list was ended and is now shown; Ignored for other codes, short payloads, and
    // pieces that come while no list is being written.
    Outcome take(std::span<const std::uint8_t> payload);

    bool writing() const { return m_writing; }
    // The last list that was ended (empty before the first).
    std::span<const std::uint8_t> shown() const { return {m_shown.data(), m_shownLength}; }
    // Whether the shown list lost pieces that did not fit.
    bool shownTruncated() const { return m_shownTruncated; }

private:
    std::array<std::uint8_t, kCapacity> m_pending{};
    std::array<std::uint8_t, kCapacity> m_shown{};
    std::size_t m_pendingLength = 0;
    std::size_t m_shownLength = 0;
    bool m_writing = false;
    bool m_pendingTruncated = false;
    bool m_shownTruncated = false;
};

} // namespace zeb::remote_display
