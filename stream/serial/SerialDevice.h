#pragma once

#include "stream/StreamDevice.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace zeb::stream {
struct SerialSettings;
}

namespace zeb::stream::serial {

// The transport of a serial line (stream type 1) on a POSIX terminal device. Port "COM<n>" is
// the device that serialDevicePath() names. One receive thread waits for bytes and makes the
// owning stream poll, which reads what the driver holds; one write thread drains a queue of
// outgoing buffers, so that a write never blocks its caller.
//
// Both threads sleep in poll() on the device and on a wake-up descriptor; close() signals that
// descriptor and waits a bounded time for them. It may run on any thread, the receive thread
// included (a subscriber that closes its stream): that thread is then only asked to stop, and
// ends as soon as the handler returns.
class SerialDevice : public StreamDevice
{
public:
    // The source unit named in error texts.
    static constexpr const char* kUnit = "SerialDevice";
    // Steps named in error texts.
    static constexpr int kStepOpen = 316;
    static constexpr int kStepNoDevice = 357;
    static constexpr int kStepPurge = 374;
    static constexpr int kStepState = 477;
    // Buffers still queued this many seconds after they were written are dropped at the next write.
    static constexpr std::int64_t kMaxQueueAgeSeconds = 10;
    // How long close() waits for each thread.
    static constexpr int kStopWaitMs = 500;

    // Seconds on some monotonic scale; the queue ages buffers by it.
    using SecondsClock = std::function<std::int64_t()>;

    SerialDevice();
    ~SerialDevice() override;

    StreamStatus open(const StreamAddress& address) override;
    StreamStatus close() override;
    std::size_t read(std::uint8_t* buffer, std::size_t maximum, bool wait) override;
    std::size_t write(const std::uint8_t* bytes, std::size_t count, int retries, int retryDelayMs) override;
    bool isOpen() const override { return m_open.load(); }
    std::size_t bytesWaitingToBeSent() const override;
    // The transport's own threads never need it; other threads only get a pause.
    StreamStatus waitEvent() override;

    void setClock(SecondsClock clock);
    // Holds the write thread before it takes the next buffer, and lets it go on. Writes keep
    // queueing meanwhile.
    void pauseSending();
    void resumeSending();

    bool handOffToOwnThread(std::unique_ptr<StreamDevice>& self) override;

private:
    class Worker;
    struct Queued
    {
        std::vector<std::uint8_t> bytes;
        std::int64_t queuedAt = 0;
    };

    StreamStatus openPath(const std::string& path, const SerialSettings& settings);
    bool configure(int fd, const SerialSettings& settings);
    void failStep(int step, int error);
    bool startThreads();
    // Stops both threads, waiting for each at most `waitMs`. True when nothing runs in the device
    // any more except, perhaps, the calling receive thread on its way out.
    bool stopThreads(int waitMs);
    void releaseDescriptors();
    void wake();

    int receiveLoop(Worker& self);
    int writeLoop(Worker& self);
    bool sendAll(const std::vector<std::uint8_t>& bytes);
    // Sleeps up to `ms` unless woken for close. False when woken.
    bool pause(int ms) const;

    std::atomic<int> m_fd{-1};
    std::atomic<int> m_wakeFd{-1};
    std::atomic<bool> m_open{false};
    std::atomic<bool> m_stopping{false};
    // Bytes the last reads took: the receive thread backs off when a wake-up brought nothing.
    std::atomic<std::uint64_t> m_bytesRead{0};

    std::unique_ptr<Worker> m_receiver;
    std::unique_ptr<Worker> m_writer;

    mutable std::mutex m_queueMutex;
    std::condition_variable m_queueCondition;
    std::deque<Queued> m_queue;
    std::size_t m_queuedBytes = 0;
    SecondsClock m_clock;
};

} // namespace zeb::stream::serial
