#include "remote-display/core/KeyRepeat.h"

namespace zeb::remote_display {

std::chrono::milliseconds KeyRepeat::press(std::uint32_t code)
{
    m_held = code;
    return kFirstDelay;
}

std::optional<std::uint32_t> KeyRepeat::tick() const
{
    return m_held;
}

} // namespace zeb::remote_display
