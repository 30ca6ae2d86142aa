// The latest almanac and ephemeris message of each satellite 1-32, and the latest health and ionosphere message,
// from binary frames 'A', 'E', 'S', 'U' and their text frames: what a recorder writes again at the start of each
// file so that every file can be read on its own. Not thread-safe: the recorder holds its output lock around it.
#pragma once

#include "messages/MessageKind.h"
#include "messages/MessageType.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace zeb::recorder {

class RepeatedMessages
{
public:
    static constexpr std::size_t kSatellites = 32;

    struct Held
    {
        std::vector<std::uint8_t> bytes; // empty: nothing held
        messages::MessageKind kind = messages::MessageKind::Unknown;
        messages::MessageType type = 0;
        std::size_t port = 0;
    };

    // Keeps the message when it is one of the four; `satellite` (1-32) for almanac and ephemeris messages, as
    // the codecs read it (0 when they cannot: such a message is not kept).
    void keep(std::span<const std::uint8_t> bytes, messages::MessageKind kind, messages::MessageType type,
              std::size_t port, unsigned satellite);
    // Every held message of `letter` ('A', 'E', 'S' or 'U'), by satellite.
    void forEach(char letter, const std::function<void(const Held&)>& visit) const;

    // Whether messages of this kind and type are ever kept (so the caller need not find the satellite).
    static bool isRepeated(messages::MessageKind kind, messages::MessageType type);
    static bool needsSatellite(messages::MessageType type);

private:
    std::array<Held, kSatellites> m_almanac;
    std::array<Held, kSatellites> m_ephemeris;
    Held m_health;
    Held m_ionosphere;
};

} // namespace zeb::recorder
