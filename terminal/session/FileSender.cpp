#include "terminal/session/FileSender.h"

#include "stream/IOSTStream.h"

namespace zeb::terminal {

FileSender::FileSender(stream::IOSTStream& stream, std::uint64_t total, std::function<void()> moved)
    : platform::WorkerThread("file sender")
    , m_stream(stream)
    , m_total(total)
    , m_moved(std::move(moved))
{
}

FileSender::~FileSender()
{
    cancel();
    terminate();
}

bool FileSender::hasRoom() const
{
    const std::lock_guard lock(m_mutex);
    return !m_inputDone && !m_cancelled && m_queue.size() < kMaxQueuedBlocks;
}

void FileSender::push(std::span<const std::uint8_t> block)
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_inputDone || m_cancelled || block.empty())
            return;
        m_queue.emplace_back(block.begin(), block.end());
    }
    m_wake.notify_all();
}

void FileSender::finishInput()
{
    {
        const std::lock_guard lock(m_mutex);
        m_inputDone = true;
    }
    m_wake.notify_all();
}

void FileSender::cancel()
{
    {
        const std::lock_guard lock(m_mutex);
        m_cancelled = true;
        m_queue.clear();
    }
    m_wake.notify_all();
}

bool FileSender::cancelled() const
{
    const std::lock_guard lock(m_mutex);
    return m_cancelled;
}

void FileSender::interrupt()
{
    cancel();
}

bool FileSender::take(std::vector<std::uint8_t>& block)
{
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [&] { return m_cancelled || m_inputDone || !m_queue.empty(); });
    if (m_cancelled || m_queue.empty())
        return false;
    block = std::move(m_queue.front());
    m_queue.pop_front();
    return true;
}

bool FileSender::sendBlock(std::span<const std::uint8_t> block)
{
    while (!block.empty()) {
        if (cancelled()) {
            m_state = State::Cancelled;
            return false;
        }
        const std::optional<std::size_t> taken = m_stream.writeAvailable(block, kTransportRoom);
        if (!taken) {
            m_state = State::Failed;
            return false;
        }
        block = block.subspan(*taken);
        if (*taken > 0) {
            m_sent += *taken;
            m_moved();
            continue;
        }
        // No room: look again shortly, or at once when cancelled.
        std::unique_lock lock(m_mutex);
        m_wake.wait_for(lock, kRoomPoll, [&] { return m_cancelled; });
    }
    return true;
}

int FileSender::run()
{
    std::vector<std::uint8_t> block;
    bool ok = true;
    while (ok && take(block))
        ok = sendBlock(block);
    if (ok) {
        const std::lock_guard lock(m_mutex);
        m_state = m_cancelled ? State::Cancelled : State::Done;
    }
    m_moved();
    return 0;
}

} // namespace zeb::terminal
