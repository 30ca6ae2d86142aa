#pragma once

namespace zeb::stream::socket {

// A descriptor that a thread sleeping in poll() watches beside its socket, so that another
// thread can wake it (to stop it, or because there is something to do).
class WakeEvent
{
public:
    WakeEvent();
    ~WakeEvent();

    WakeEvent(const WakeEvent&) = delete;
    WakeEvent& operator=(const WakeEvent&) = delete;

    // -1 when the descriptor could not be made; poll() then simply never reports it.
    int fd() const { return m_fd; }
    void signal();
    // Forgets every signal so far.
    void drain();

private:
    int m_fd = -1;
};

} // namespace zeb::stream::socket
