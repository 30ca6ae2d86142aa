#include "stream/socket/WakeEvent.h"

#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

namespace zeb::stream::socket {

WakeEvent::WakeEvent()
    : m_fd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
}

WakeEvent::~WakeEvent()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void WakeEvent::signal()
{
    const std::uint64_t one = 1;
    // A full counter already means "wake up": a failed write loses nothing.
    (void)!::write(m_fd, &one, sizeof one);
}

void WakeEvent::drain()
{
    std::uint64_t count = 0;
    (void)!::read(m_fd, &count, sizeof count);
}

} // namespace zeb::stream::socket
