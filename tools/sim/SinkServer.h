#pragma once

#include "ByteSink.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace zeb::tools::sim {

// Listens on a TCP port and stores every byte its connections send in one sink, in the order
// the reads come. At most kMaxPeers connections are served at once; more are closed as they
// come. Runs on the caller's thread: serve() waits for at most the time it is given, so the
// caller can notice a stop request between calls.
class SinkServer
{
public:
    static constexpr std::size_t kMaxPeers = 16;
    static constexpr std::size_t kReadBlock = 65536;

    explicit SinkServer(ByteSink& sink);
    ~SinkServer();
    SinkServer(const SinkServer&) = delete;
    SinkServer& operator=(const SinkServer&) = delete;

    // Listens on the dotted IPv4 `address` and `port` (0: any free port); false with `error` set.
    bool listen(const std::string& address, int port, std::string& error);
    unsigned port() const { return m_port; }
    // Accepts, reads and stores what is there, waiting at most `wait` for something to happen.
    void serve(std::chrono::milliseconds wait);
    // Reads what the connections still hold without waiting, then closes them.
    void drain();
    std::size_t peers() const { return m_peers.size(); }

private:
    enum class Read { Got, Nothing, Gone };

    void accept();
    // Reads one block into the sink.
    Read readFrom(int fd);

    ByteSink& m_sink;
    int m_listener = -1;
    unsigned m_port = 0;
    std::vector<int> m_peers;
    std::vector<char> m_block;
};

} // namespace zeb::tools::sim
