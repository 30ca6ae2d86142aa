#include "stream/socket/SocketHandle.h"

#include "platform/Dispatcher.h"
#include "platform/ServingWait.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zeb::stream::socket {

namespace {

// Errors after which the same send may succeed later; anything else means the connection is
// broken and no retry can help.
bool isTransient(int error)
{
    return error == EAGAIN || error == EWOULDBLOCK || error == ENOBUFS || error == ENOMEM || error == EINTR;
}

sockaddr_in endpoint(Ipv4Address address, std::uint16_t port)
{
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(port);
    where.sin_addr.s_addr = address;
    return where;
}

bool writableNow(int fd)
{
    pollfd entry{fd, POLLOUT, 0};
    return ::poll(&entry, 1, 0) > 0;
}

// A thread that serves windows keeps serving their sends while the connection comes up.
bool waitWritable(int fd, std::chrono::milliseconds limit)
{
    if (platform::Dispatcher::current())
        return platform::ServingWait::until([fd] { return writableNow(fd); }, limit);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const auto left
            = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd entry{fd, POLLOUT, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(std::max<std::int64_t>(left.count(), 0)));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

} // namespace

bool SocketHandle::attach(int fd)
{
    close();
    if (fd < 0)
        return false;
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) {
        ::close(fd);
        return false;
    }
    m_fd.store(fd);
    return true;
}

std::ptrdiff_t SocketHandle::receive(std::uint8_t* buffer, std::size_t maximum) const
{
    const int fd = m_fd.load();
    if (fd < 0 || !buffer || maximum == 0)
        return 0;
    for (;;) {
        const ssize_t got = ::recv(fd, buffer, maximum, 0);
        if (got >= 0)
            return got;
        if (errno == EINTR)
            continue;
        return errno == EAGAIN || errno == EWOULDBLOCK ? kNothingYet : 0;
    }
}

std::size_t SocketHandle::send(const std::uint8_t* bytes, std::size_t count, int retries, int retryDelayMs) const
{
    const int fd = m_fd.load();
    if (fd < 0 || !bytes || count == 0)
        return 0;
    std::size_t sent = 0;
    while (sent < count) {
        const ssize_t took = ::send(fd, bytes + sent, count - sent, MSG_NOSIGNAL);
        if (took > 0) {
            sent += static_cast<std::size_t>(took);
            continue;
        }
        if (took < 0 && errno == EINTR)
            continue;
        if ((took < 0 && !isTransient(errno)) || retries-- <= 0)
            break;
        platform::ServingWait::sleep(std::chrono::milliseconds(std::max(retryDelayMs, 0)));
    }
    return sent;
}

void SocketHandle::shutdown() const
{
    const int fd = m_fd.load();
    if (fd >= 0)
        ::shutdown(fd, SHUT_RDWR);
}

void SocketHandle::close()
{
    const int fd = m_fd.exchange(-1);
    if (fd < 0)
        return;
    ::shutdown(fd, SHUT_RDWR);
    ::close(fd);
}

int SocketHandle::connectTo(Ipv4Address address, std::uint16_t port, std::chrono::milliseconds limit)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const sockaddr_in where = endpoint(address, port);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&where), sizeof where) == 0)
        return fd;
    int error = errno;
    if (error == EINPROGRESS && waitWritable(fd, limit)) {
        socklen_t length = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
            error = errno;
        if (error == 0)
            return fd;
    }
    ::close(fd);
    return -1;
}

int SocketHandle::listenOn(std::uint16_t port, int backlog, Ipv4Address address)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const int on = 1;
    const sockaddr_in where = endpoint(address, port);
    if (::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0
        || ::bind(fd, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0 || ::listen(fd, backlog) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::uint16_t SocketHandle::localPort(int fd)
{
    sockaddr_in where{};
    socklen_t length = sizeof where;
    if (fd < 0 || ::getsockname(fd, reinterpret_cast<sockaddr*>(&where), &length) != 0)
        return 0;
    return ntohs(where.sin_port);
}

} // namespace zeb::stream::socket
