#include "recorder/engine/RepeatedMessages.h"

#include <algorithm>

namespace zeb::recorder {

namespace type = messages::message_type;
using messages::MessageKind;

bool RepeatedMessages::isRepeated(MessageKind kind, messages::MessageType t)
{
    return (kind == MessageKind::SBin || kind == MessageKind::SVar) && t <= type::GnssIonoTropo;
}

bool RepeatedMessages::needsSatellite(messages::MessageType t)
{
    return t == type::GnssAlmanach || t == type::GnssEphemeris;
}

void RepeatedMessages::keep(std::span<const std::uint8_t> bytes, MessageKind kind, messages::MessageType t,
                            std::size_t port, unsigned satellite)
{
    if (!isRepeated(kind, t))
        return;
    Held* slot = nullptr;
    if (needsSatellite(t)) {
        if (satellite < 1 || satellite > kSatellites)
            return;
        slot = &(t == type::GnssAlmanach ? m_almanac : m_ephemeris)[satellite - 1];
    } else {
        slot = t == type::GnssHealth ? &m_health : &m_ionosphere;
    }
    // Assigning reuses the slot's storage once it has held a message as long.
    slot->bytes.assign(bytes.begin(), bytes.end());
    slot->kind = kind;
    slot->type = t;
    slot->port = port;
}

void RepeatedMessages::forEach(char letter, const std::function<void(const Held&)>& visit) const
{
    auto visitHeld = [&](const Held& held) {
        if (!held.bytes.empty())
            visit(held);
    };
    switch (letter) {
    case 'A':
        std::for_each(m_almanac.begin(), m_almanac.end(), visitHeld);
        break;
    case 'E':
        std::for_each(m_ephemeris.begin(), m_ephemeris.end(), visitHeld);
        break;
    case 'S':
        visitHeld(m_health);
        break;
    case 'U':
        visitHeld(m_ionosphere);
        break;
    default:
        break;
    }
}

} // namespace zeb::recorder
