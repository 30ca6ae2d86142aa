#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

namespace zeb::testsupport {

// The far side of a TCP connection on loopback: listens on a free port, accepts one client,
// collects what it receives and sends what it is given.
class LoopbackPeer
{
public:
    LoopbackPeer();
    ~LoopbackPeer();

    // A socket listening on 127.0.0.1 at a free port, which it tells.
    static int listenOnFreePort(unsigned& port);

    unsigned port() const { return m_port; }
    std::string address() const { return "/dev/client/127.0.0.1/" + std::to_string(m_port); }
    bool connected() const { return m_client.load() >= 0; }
    void send(const std::string& bytes);
    // While held, nothing is read: the connection's buffers fill and the client's sends find no
    // room. The peer's receive buffer is small, so that happens after a few kilobytes.
    void holdReading(bool hold) { m_held = hold; }
    std::string received() const;

private:
    void run();

    unsigned m_port = 0;
    int m_listener = -1;
    std::atomic<int> m_client{-1};
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_held{false};
    mutable std::mutex m_mutex;
    std::string m_received;
    std::thread m_thread;
};

} // namespace zeb::testsupport
