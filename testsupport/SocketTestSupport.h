#pragma once

#include "stream/IOSTStream.h"
#include "stream/StreamAddress.h"
#include "stream/StreamEvent.h"
#include "stream/StreamRegistry.h"
#include "stream/socket/ServerSocketDevice.h"
#include "stream/socket/SocketTransports.h"
#include "testsupport/CaptureFiles.h"
#include "testsupport/EventJournal.h"
#include "testsupport/WaitFor.h"
#include "testsupport/WindowThread.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <iterator>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace zeb::stream::socket::testing {

using namespace std::chrono_literals;
using testsupport::captureFolder;
using testsupport::eventually;
using Journal = testsupport::EventJournal;
using testsupport::readFile;
using testsupport::WindowThread;

// Runs a shell command and returns what it printed.
inline std::string runCommand(const std::string& command)
{
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char chunk[4096];
        for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
            output.append(chunk, got);
        ::pclose(pipe);
    }
    return output;
}

inline sockaddr_in loopback(std::uint16_t port)
{
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(port);
    where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return where;
}

// A plain blocking TCP socket for the far side of a test.
class RawSocket
{
public:
    explicit RawSocket(int fd = -1)
        : m_fd(fd)
    {
    }
    RawSocket(RawSocket&& other) noexcept
        : m_fd(std::exchange(other.m_fd, -1))
    {
    }
    ~RawSocket() { close(); }

    static RawSocket connectTo(std::uint16_t port)
    {
        RawSocket socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        const sockaddr_in where = loopback(port);
        if (::connect(socket.m_fd, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0)
            socket.close();
        return socket;
    }
    int fd() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    void send(std::string_view bytes) const
    {
        for (ssize_t took = 0; !bytes.empty(); bytes.remove_prefix(static_cast<std::size_t>(took))) {
            if ((took = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL)) <= 0)
                return;
        }
    }
    // Everything until the far side closes, or until `limit` passes.
    std::string receiveAll(std::chrono::milliseconds limit = 5s) const
    {
        std::string all;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        char chunk[65536];
        for (;;) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            pollfd entry{m_fd, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&entry, 1, static_cast<int>(left.count())) <= 0)
                return all;
            const ssize_t got = ::recv(m_fd, chunk, sizeof chunk, 0);
            if (got <= 0)
                return all;
            all.append(chunk, static_cast<std::size_t>(got));
        }
    }
    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd = -1;
};

// A listening socket on a free loopback port, for client streams to connect to.
class RawListener
{
public:
    RawListener()
    {
        sockaddr_in where = loopback(0);
        socklen_t length = sizeof where;
        ::bind(m_fd, reinterpret_cast<const sockaddr*>(&where), sizeof where);
        ::listen(m_fd, 5);
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&where), &length);
        m_port = ntohs(where.sin_port);
    }
    ~RawListener() { ::close(m_fd); }

    std::uint16_t port() const { return m_port; }
    RawSocket accept() const { return RawSocket(::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC)); }

private:
    int m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    std::uint16_t m_port = 0;
};

inline StreamAddress clientAddress(std::string host, std::uint32_t port)
{
    StreamAddress address;
    address.type = stream_type::Client;
    address.client = {port, std::move(host)};
    return address;
}

inline StreamAddress serverAddress(std::uint32_t port = 0)
{
    StreamAddress address;
    address.type = stream_type::Server;
    address.server.port = port;
    return address;
}

inline std::uint16_t listeningPort(const IOSTStream& server)
{
    const auto* device = dynamic_cast<const ServerSocketDevice*>(server.device());
    return device ? device->port() : 0;
}

// Every test runs with the socket transports installed.
class SocketTest : public ::testing::Test
{
protected:
    void SetUp() override { registerSocketTransports(); }
};

} // namespace zeb::stream::socket::testing
