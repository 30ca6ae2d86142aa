#pragma once

#include "platform/WorkerThread.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <span>
#include <vector>

namespace zeb::stream {
class IOSTStream;
}

namespace zeb::terminal {

// Sends a file's blocks to a stream on a thread of its own, as fast as the transport takes
// them: a full socket or a serial queue that still holds a block makes it wait for room, never
// drop. Its owner reads the file and pushes blocks while there is room, so memory stays
// bounded whatever the file's size; progress counts only the bytes the transport accepted.
class FileSender : public platform::WorkerThread
{
public:
    // Blocks that may wait to be sent.
    static constexpr std::size_t kMaxQueuedBlocks = 4;
    // More bytes than this waiting in the transport's own queue (a serial port's) is no room.
    static constexpr std::size_t kTransportRoom = 1024;
    // How often a transport without room is looked at again.
    static constexpr std::chrono::milliseconds kRoomPoll{5};

    enum class State { Sending, Done, Cancelled, Failed };

    // `moved` runs on the sender's thread after every accepted piece and at the end; the owner
    // answers on its own thread (push more, show progress, clean up).
    FileSender(stream::IOSTStream& stream, std::uint64_t total, std::function<void()> moved);
    ~FileSender() override;

    bool hasRoom() const;
    void push(std::span<const std::uint8_t> block);
    // No more blocks will come: the state becomes Done once the queued ones have left.
    void finishInput();
    // Stops at the next piece: what the transport took stays sent.
    void cancel();

    std::uint64_t sent() const { return m_sent.load(); }
    std::uint64_t total() const { return m_total; }
    State state() const { return m_state.load(); }

protected:
    int run() override;
    void interrupt() override;

private:
    bool cancelled() const;
    bool take(std::vector<std::uint8_t>& block);
    bool sendBlock(std::span<const std::uint8_t> block);

    stream::IOSTStream& m_stream;
    const std::uint64_t m_total;
    const std::function<void()> m_moved;
    std::atomic<std::uint64_t> m_sent{0};
    std::atomic<State> m_state{State::Sending};

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::vector<std::uint8_t>> m_queue; // guarded by m_mutex
    bool m_inputDone = false; // guarded by m_mutex
    bool m_cancelled = false; // guarded by m_mutex
};

} // namespace zeb::terminal
