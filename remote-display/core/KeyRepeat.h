#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace zeb::remote_display {

// Auto-repeat of a held panel key: the key goes out at once, again after 500 ms, then every
// 200 ms until it is released. Whatever ends the hold (release, focus lost, a popup, the window
// closing) calls release(); a tick after that sends nothing.
class KeyRepeat
{
public:
    static constexpr std::chrono::milliseconds kFirstDelay{500};
    static constexpr std::chrono::milliseconds kInterval{200};

    // The key is pressed: send it now, tick after the returned delay.
    std::chrono::milliseconds press(std::uint32_t code);
    // The timer fired: the key to send again (tick after kInterval), none once released.
    std::optional<std::uint32_t> tick() const;
    void release() { m_held.reset(); }
    bool held() const { return m_held.has_value(); }

private:
    std::optional<std::uint32_t> m_held;
};

} // namespace zeb::remote_display
