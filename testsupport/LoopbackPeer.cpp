#include "testsupport/LoopbackPeer.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zeb::testsupport {

int LoopbackPeer::listenOnFreePort(unsigned& port)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener, 4);
    socklen_t length = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return listener;
}

LoopbackPeer::LoopbackPeer()
    : m_listener(listenOnFreePort(m_port))
{
    // Inherited by the accepted connection: a held peer makes its client wait soon.
    const int receiveBuffer = 8 * 1024;
    ::setsockopt(m_listener, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    m_thread = std::thread([this] { run(); });
}

LoopbackPeer::~LoopbackPeer()
{
    m_stop = true;
    m_thread.join();
    if (m_client >= 0)
        ::close(m_client);
    ::close(m_listener);
}

void LoopbackPeer::run()
{
    while (!m_stop) {
        const int client = m_client.load();
        if (client >= 0 && m_held) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        pollfd watch{client >= 0 ? client : m_listener, POLLIN, 0};
        if (::poll(&watch, 1, 20) <= 0)
            continue;
        if (client < 0) {
            m_client = ::accept(m_listener, nullptr, nullptr);
            continue;
        }
        char buffer[4096];
        const ssize_t count = ::recv(client, buffer, sizeof buffer, 0);
        if (count <= 0) {
            ::close(client);
            m_client = -1;
            continue;
        }
        std::lock_guard lock(m_mutex);
        m_received.append(buffer, static_cast<std::size_t>(count));
    }
}

void LoopbackPeer::send(const std::string& bytes)
{
    const int client = m_client.load();
    if (client >= 0)
        ::send(client, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

std::string LoopbackPeer::received() const
{
    std::lock_guard lock(m_mutex);
    return m_received;
}

} // namespace zeb::testsupport
