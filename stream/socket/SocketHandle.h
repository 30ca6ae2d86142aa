#pragma once

#include "stream/socket/HostAddress.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>

namespace zeb::stream::socket {

// One TCP socket descriptor, -1 when none. A socket it holds is non-blocking, so a send never
// blocks the caller: a full send buffer is a failed send, retried by count and delay.
class SocketHandle
{
public:
    // receive(): nothing to read right now (the connection is still up).
    static constexpr std::ptrdiff_t kNothingYet = -1;

    SocketHandle() = default;
    ~SocketHandle() { close(); }

    SocketHandle(const SocketHandle&) = delete;
    SocketHandle& operator=(const SocketHandle&) = delete;

    // Takes ownership of `fd` and makes it non-blocking; a socket held before is closed.
    // False (and `fd` closed) when the mode cannot be set.
    bool attach(int fd);
    bool isValid() const { return m_fd.load() >= 0; }
    int fd() const { return m_fd.load(); }

    // Bytes read into `buffer`; 0 when the far side closed the connection or it failed;
    // kNothingYet when nothing is waiting.
    std::ptrdiff_t receive(std::uint8_t* buffer, std::size_t maximum) const;
    // Sends until every byte has left. A send that takes nothing (the buffer is full) is tried
    // again `retries` more times, `retryDelayMs` apart; a broken connection ends at once.
    // Returns the bytes sent.
    std::size_t send(const std::uint8_t* bytes, std::size_t count, int retries, int retryDelayMs) const;
    // Ends both directions without giving up the descriptor: a thread waiting on it wakes.
    void shutdown() const;
    // Shuts down and closes; the handle becomes -1.
    void close();

    // A non-blocking socket connected to `address`:`port` within `limit`, or -1.
    static int connectTo(Ipv4Address address, std::uint16_t port, std::chrono::milliseconds limit);
    // A listening socket bound to `address` (every local address by default) at `port`
    // (SO_REUSEADDR), or -1.
    static int listenOn(std::uint16_t port, int backlog, Ipv4Address address = kAnyAddress);
    // The local port a socket is bound to, 0 when unknown.
    static std::uint16_t localPort(int fd);

private:
    std::atomic<int> m_fd{-1};
};

} // namespace zeb::stream::socket
