#pragma once

#include "stream/StreamAddress.h"
#include "stream/StreamDevice.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zeb::testsupport {

// Two transports connected back to back: what one writes, the other's receive thread delivers
// to its stream. A side can be made deaf (what is written to it vanishes) or slow.
struct Link
{
    struct Direction
    {
        std::mutex mutex;
        std::condition_variable changed;
        std::deque<std::vector<std::uint8_t>> chunks;
    };
    Direction toSide[2];
    std::atomic<bool> deaf[2] = {false, false};
    std::atomic<int> delayMs[2] = {0, 0};
    std::atomic<int> made{0};
    // Writes each side has made, deaf or not.
    std::atomic<int> writes[2] = {0, 0};
};

class LinkEnd final : public stream::StreamDevice
{
public:
    LinkEnd(std::shared_ptr<Link> link, int side)
        : m_link(std::move(link))
        , m_side(side)
    {
    }
    ~LinkEnd() override { stop(); }

    stream::StreamStatus open(const stream::StreamAddress&) override
    {
        m_open = true;
        m_thread = std::thread([this] { receiveLoop(); });
        return stream::StreamStatus::Ok;
    }
    stream::StreamStatus close() override
    {
        stop();
        return stream::StreamStatus::Ok;
    }
    bool isOpen() const override { return m_open; }
    std::size_t write(const std::uint8_t* bytes, std::size_t count, int, int) override
    {
        Link& link = *m_link;
        const int other = 1 - m_side;
        if (!link.deaf[other]) {
            Link::Direction& direction = link.toSide[other];
            {
                const std::lock_guard lock(direction.mutex);
                direction.chunks.emplace_back(bytes, bytes + count);
            }
            direction.changed.notify_all();
        }
        // Last: a test that waits for this count may close the transport at once.
        link.writes[m_side].fetch_add(1);
        return count;
    }

private:
    void stop()
    {
        if (!m_thread.joinable())
            return;
        {
            const std::lock_guard lock(m_link->toSide[m_side].mutex);
            m_stop = true;
        }
        m_link->toSide[m_side].changed.notify_all();
        m_thread.join();
        m_open = false;
    }
    void receiveLoop()
    {
        Link::Direction& direction = m_link->toSide[m_side];
        for (;;) {
            std::vector<std::uint8_t> chunk;
            {
                std::unique_lock lock(direction.mutex);
                direction.changed.wait(lock, [&] { return m_stop || !direction.chunks.empty(); });
                if (m_stop)
                    return;
                chunk = std::move(direction.chunks.front());
                direction.chunks.pop_front();
            }
            if (const int delay = m_link->delayMs[m_side]; delay > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(delay));
            deliver(chunk);
        }
    }

    std::shared_ptr<Link> m_link;
    const int m_side;
    std::atomic<bool> m_open{false};
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace zeb::testsupport
