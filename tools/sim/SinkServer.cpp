#include "SinkServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zeb::tools::sim {

namespace {

// Enough reads to empty a connection's receive buffer at stop, however fast it is fed.
constexpr int kDrainReads = 64;

} // namespace

SinkServer::SinkServer(ByteSink& sink)
    : m_sink(sink)
    , m_block(kReadBlock)
{
}

SinkServer::~SinkServer()
{
    for (const int fd : m_peers)
        ::close(fd);
    if (m_listener >= 0)
        ::close(m_listener);
}

bool SinkServer::listen(const std::string& address, int port, std::string& error)
{
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(static_cast<std::uint16_t>(port));
    if (port < 0 || port > 65535 || ::inet_pton(AF_INET, address.c_str(), &where.sin_addr) != 1) {
        error = "cannot listen on " + address + " port " + std::to_string(port);
        return false;
    }
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int yes = 1;
    if (m_listener >= 0)
        ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    socklen_t size = sizeof where;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0
        || ::listen(m_listener, 8) != 0 || ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&where), &size) != 0) {
        error = "cannot listen on " + address + " port " + std::to_string(port) + ": " + std::strerror(errno);
        return false;
    }
    m_port = ntohs(where.sin_port);
    return true;
}

void SinkServer::serve(std::chrono::milliseconds wait)
{
    std::vector<pollfd> entries{{m_listener, POLLIN, 0}};
    for (const int fd : m_peers)
        entries.push_back({fd, POLLIN, 0});
    if (::poll(entries.data(), entries.size(), static_cast<int>(wait.count())) <= 0)
        return;
    std::vector<int> gone;
    for (std::size_t i = 1; i < entries.size(); ++i)
        if (entries[i].revents != 0 && readFrom(entries[i].fd) == Read::Gone)
            gone.push_back(entries[i].fd);
    for (const int fd : gone) {
        ::close(fd);
        std::erase(m_peers, fd);
    }
    if (entries[0].revents != 0)
        accept();
}

void SinkServer::drain()
{
    for (const int fd : m_peers) {
        for (int i = 0; i < kDrainReads && readFrom(fd) == Read::Got; ++i) { }
        ::close(fd);
    }
    m_peers.clear();
}

void SinkServer::accept()
{
    for (;;) {
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return;
        if (m_peers.size() >= kMaxPeers) {
            ::close(fd);
            continue;
        }
        m_peers.push_back(fd);
    }
}

SinkServer::Read SinkServer::readFrom(int fd)
{
    const ssize_t got = ::read(fd, m_block.data(), m_block.size());
    if (got > 0) {
        m_sink.store({m_block.data(), static_cast<std::size_t>(got)});
        return Read::Got;
    }
    return got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? Read::Nothing : Read::Gone;
}

} // namespace zeb::tools::sim
