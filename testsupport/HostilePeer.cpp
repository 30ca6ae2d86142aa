#include "testsupport/HostilePeer.h"

#include "stream/rpc/RequestCode.h"
#include "testsupport/LoopbackPeer.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <memory>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zeb::testsupport {

namespace rpc = stream::rpc;

namespace {

constexpr auto kPause = std::chrono::milliseconds(20);
constexpr std::string_view kContent = "pwned";

std::span<const std::uint8_t> bytesOf(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

} // namespace

HostilePeer::HostilePeer(Responder responder)
    : m_responder(std::move(responder))
{
    m_listener = LoopbackPeer::listenOnFreePort(m_port);
    m_thread = std::thread([this] { run(); });
}

HostilePeer::~HostilePeer()
{
    m_stop = true;
    m_thread.join();
    ::close(m_listener);
}

std::string HostilePeer::strayBytes() const
{
    const std::lock_guard lock(m_mutex);
    return m_stray;
}

void HostilePeer::run()
{
    int client = -1;
    std::string pending;
    while (!m_stop) {
        pollfd watch{client >= 0 ? client : m_listener, POLLIN, 0};
        if (::poll(&watch, 1, 20) <= 0)
            continue;
        if (client < 0) {
            client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            pending.clear();
            continue;
        }
        char buffer[4096];
        const ssize_t count = ::recv(client, buffer, sizeof buffer, 0);
        if (count <= 0) {
            ::close(client);
            client = -1;
            continue;
        }
        pending.append(buffer, static_cast<std::size_t>(count));
        answer(client, pending);
    }
    if (client >= 0)
        ::close(client);
}

// What arrives unescaped, as on TCP: frames are cut by their length field.
void HostilePeer::answer(int client, std::string& pending)
{
    for (;;) {
        const std::size_t start = std::min(pending.find('\xFE'), pending.size());
        {
            const std::lock_guard lock(m_mutex);
            m_stray.append(pending, 0, start);
        }
        pending.erase(0, start);
        if (pending.size() < 4)
            return;
        const std::size_t size = (static_cast<std::size_t>(static_cast<std::uint8_t>(pending[2])) << 8
                                  | static_cast<std::uint8_t>(pending[3]))
            + 4;
        if (pending.size() < size)
            return;
        const std::string frame = pending.substr(0, size);
        pending.erase(0, size);
        const auto request = rpc::RequestFrame::parse(bytesOf(frame));
        if (!request)
            continue;
        ++m_requests;
        const std::vector<std::string> chunks = m_responder(*request);
        for (std::size_t i = 0; i < chunks.size(); ++i) {
            if (i > 0)
                std::this_thread::sleep_for(kPause);
            ::send(client, chunks[i].data(), chunks[i].size(), MSG_NOSIGNAL);
        }
    }
}

std::string HostilePeer::reply(const rpc::RequestFrame::View& request,
                               const std::function<void(rpc::RemoteFileRequest&)>& fill)
{
    rpc::RemoteFileRequest payload;
    payload.beginWrite();
    fill(payload);
    std::array<std::uint8_t, rpc::RequestFrame::kMaxSize> frame{};
    const std::size_t size
        = rpc::RequestFrame::build(rpc::request_kind::Reply, request.identifier, payload.payload(), frame);
    return std::string(reinterpret_cast<const char*>(frame.data()), size);
}

HostilePeer::Responder HostilePeer::serving(Tree tree)
{
    // Each file is read twice: its bytes, then its end.
    auto ended = std::make_shared<bool>(true);
    return [tree = std::move(tree), ended](const rpc::RequestFrame::View& request) -> std::vector<std::string> {
        rpc::RemoteFileRequest in;
        in.assign(request.payload);
        in.beginRead();
        std::uint32_t code = 0;
        in.readWord(code);
        std::string_view path;
        std::uint32_t position = 0;
        const auto answer = [&](const std::function<void(rpc::RemoteFileRequest&)>& fill) {
            return std::vector<std::string>{reply(request, fill)};
        };
        switch (code) {
        case rpc::request_code::FileType:
            in.readText(path);
            return answer([&](auto& out) { out.appendWord(tree.type(path)); });
        case rpc::request_code::OpenListing:
            return answer([](auto& out) {
                out.appendByte(0);
                out.appendWord(0);
                out.appendWord(0);
            });
        case rpc::request_code::NextEntry: {
            in.readText(path);
            in.readWord(position);
            const auto name = tree.child(path, position);
            return answer([&](auto& out) {
                out.appendByte(name ? 0 : static_cast<std::uint8_t>(stream::StreamStatus::NoMoreEntries));
                out.appendWord(position + 1);
                std::array<std::uint8_t, rpc::kEntrySize> entry{};
                if (name)
                    std::copy_n(name->begin(), std::min(name->size(), rpc::kEntryNameSize - 1), entry.begin());
                out.appendBlock(name ? std::span<const std::uint8_t>(entry) : std::span<const std::uint8_t>());
            });
        }
        case rpc::request_code::Open:
            return answer([](auto& out) { out.appendWord(7); });
        case rpc::request_code::Read: {
            std::uint32_t handle = 0;
            std::uint32_t count = 0;
            in.readWord(handle);
            in.readWord(count);
            const bool end = *ended = !*ended;
            return answer(
                [&](auto& out) { out.appendBlock(end ? std::span<const std::uint8_t>() : bytesOf(kContent)); });
        }
        case rpc::request_code::Length:
            return answer([](auto& out) { out.appendWord(static_cast<std::uint32_t>(kContent.size())); });
        case rpc::request_code::Close:
            return answer([](auto& out) { out.appendWord(0); });
        default:
            return answer([](auto& out) { out.appendByte(0); });
        }
    };
}

} // namespace zeb::testsupport
