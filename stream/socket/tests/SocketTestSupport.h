#pragma once

#include "messages/HttpRequestRecord.h"
#include "platform/HeadlessDispatcher.h"
#include "platform/MessageTarget.h"
#include "stream/IOSTStream.h"
#include "stream/StreamAddress.h"
#include "stream/StreamEvent.h"
#include "stream/StreamRegistry.h"
#include "stream/socket/ServerSocketDevice.h"
#include "stream/socket/SocketTransports.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <iterator>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace zeb::stream::socket::testing {

using namespace std::chrono_literals;

inline bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit = 5s)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

inline std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::filesystem::path sharedData()
{
    if (const char* data = std::getenv("ZEB500_SHARED_DATA"); data && *data)
        return data;
    const char* source = std::getenv("ZEB500_SOURCE_DIR");
    return std::filesystem::path(source ? source : ".") / ".." / "shared" / "data";
}

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

// A callback subscriber that keeps what it is told, under a lock: it runs on receive threads.
struct Journal
{
    struct Entry
    {
        StreamEventCode code;
        IOSTStream* stream;
        std::intptr_t argument;
        std::string bytes;
        std::thread::id thread;
        messages::MessageKind kind = messages::MessageKind::Unknown;
    };

    mutable std::mutex mutex;
    std::vector<Entry> entries;
    std::function<void(const Entry&)> onEntry; // called on the notifying thread

    static void callback(void* context, IOSTStream* stream, StreamEventCode code, std::intptr_t argument)
    {
        auto& self = *static_cast<Journal*>(context);
        Entry entry{code, stream, argument, {}, std::this_thread::get_id()};
        if (code == StreamEventCode::Receive) {
            entry.bytes = std::string(eventArgument(argument).text());
            entry.kind = eventArgument(argument).kind;
        }
        {
            const std::lock_guard lock(self.mutex);
            self.entries.push_back(entry);
        }
        if (self.onEntry)
            self.onEntry(entry);
    }
    void subscribeTo(IOSTStream& stream) { stream.subscribeCallback(&Journal::callback, this); }
    std::vector<Entry> of(StreamEventCode code) const
    {
        const std::lock_guard lock(mutex);
        std::vector<Entry> found;
        std::copy_if(entries.begin(), entries.end(), std::back_inserter(found),
                     [&](const Entry& e) { return e.code == code; });
        return found;
    }
    std::size_t count(StreamEventCode code) const { return of(code).size(); }
    std::string received() const
    {
        std::string all;
        for (const auto& entry : of(StreamEventCode::Receive))
            all += entry.bytes;
        return all;
    }
};

// A window: a message target on a thread of its own, with its loop. It keeps the messages it
// is sent, and answers "ON_HTTP_REQUEST" by copying the request and leaving the test's response.
class Window
{
public:
    struct Message
    {
        platform::MessageId id;
        platform::WParam wParam;
        platform::LParam lParam;
        std::thread::id thread;
    };
    struct Request
    {
        std::string method, target;
        unsigned major = 0, minor = 0;
        std::vector<std::pair<std::string, std::string>> headers; // newest first
    };

    Window()
    {
        std::promise<void> ready;
        m_thread = std::thread([this, &ready] {
            platform::HeadlessDispatcher dispatcher;
            Target target(*this);
            m_dispatcher = &dispatcher;
            m_handle = target.handle();
            ready.set_value();
            dispatcher.run();
        });
        ready.get_future().wait();
    }
    ~Window()
    {
        m_dispatcher->quit();
        m_thread.join();
    }

    platform::Handle handle() const { return m_handle; }
    std::thread::id id() const { return m_thread.get_id(); }
    void respondWith(std::string response) { m_response = std::move(response); } // before any request
    std::vector<Message> messages(platform::MessageId id) const
    {
        const std::lock_guard lock(m_mutex);
        std::vector<Message> found;
        std::copy_if(m_messages.begin(), m_messages.end(), std::back_inserter(found),
                     [&](const Message& m) { return m.id == id; });
        return found;
    }
    std::size_t count(platform::MessageId id) const { return messages(id).size(); }
    std::vector<Request> requests() const
    {
        const std::lock_guard lock(m_mutex);
        return m_requests;
    }

private:
    struct Target : platform::MessageTarget
    {
        explicit Target(Window& window)
            : owner(window)
        {
        }
        platform::LResult onMessage(platform::MessageId id, platform::WParam wParam, platform::LParam lParam) override
        {
            owner.take(id, wParam, lParam);
            return 1;
        }
        Window& owner;
    };

    void take(platform::MessageId id, platform::WParam wParam, platform::LParam lParam)
    {
        const std::lock_guard lock(m_mutex);
        m_messages.push_back({id, wParam, lParam, std::this_thread::get_id()});
        if (id != StreamRegistry::messages().httpRequest)
            return;
        auto& record = *reinterpret_cast<messages::HttpRequestRecord*>(lParam);
        Request request{std::string(record.method()),
                        std::string(record.target()),
                        record.versionMajor(),
                        record.versionMinor(),
                        {}};
        for (std::size_t i = 0; i < record.headerCount(); ++i)
            request.headers.emplace_back(record.header(i).name, record.header(i).value);
        m_requests.push_back(std::move(request));
        if (!m_response.empty()) {
            record.response = reinterpret_cast<const std::uint8_t*>(m_response.data());
            record.responseCount = m_response.size();
        }
    }

    std::thread m_thread;
    platform::HeadlessDispatcher* m_dispatcher = nullptr;
    platform::Handle m_handle = platform::kNoHandle;
    mutable std::mutex m_mutex;
    std::vector<Message> m_messages;
    std::vector<Request> m_requests;
    std::string m_response;
};

// Every test runs with the socket transports installed.
class SocketTest : public ::testing::Test
{
protected:
    void SetUp() override { registerSocketTransports(); }
};

} // namespace zeb::stream::socket::testing
