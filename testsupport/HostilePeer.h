#pragma once

#include "stream/rpc/RemoteFileRequest.h"
#include "stream/rpc/RequestFrame.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace zeb::testsupport {

// The far side of a TCP connection on loopback (one client at a time) that answers remote requests as a hostile peer
// might: with whatever bytes its responder chooses. Bytes that are not request frames (ping answers, say) are kept
// apart.
class HostilePeer
{
public:
    // The chunks answered to one request, each sent on its own after a short pause (so that
    // they tend to arrive as separate reads); none: no answer.
    using Responder = std::function<std::vector<std::string>(const stream::rpc::RequestFrame::View& request)>;

    // A file tree as the peer claims it to be: the type of a path (file_type), and the name
    // of a folder's entry at a position (none: the listing ends).
    struct Tree
    {
        std::function<std::uint32_t(std::string_view path)> type;
        std::function<std::optional<std::string>(std::string_view folder, std::uint32_t position)> child;
    };

    explicit HostilePeer(Responder responder);
    ~HostilePeer();
    HostilePeer(const HostilePeer&) = delete;
    HostilePeer& operator=(const HostilePeer&) = delete;

    std::string address() const { return "/dev/client/127.0.0.1/" + std::to_string(m_port); }
    std::string strayBytes() const;
    std::size_t requests() const { return m_requests.load(); }

    // A reply frame to the request with the payload `fill` appends.
    static std::string reply(const stream::rpc::RequestFrame::View& request,
                             const std::function<void(stream::rpc::RemoteFileRequest&)>& fill);
    // Answers the file requests from `tree`; each file holds "pwned".
    static Responder serving(Tree tree);

private:
    void run();
    // Answers the frames at the head of `pending`, keeps the rest.
    void answer(int client, std::string& pending);

    Responder m_responder;
    int m_listener = -1;
    unsigned m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<std::size_t> m_requests{0};
    mutable std::mutex m_mutex;
    std::string m_stray;
    std::thread m_thread;
};

} // namespace zeb::testsupport
