#pragma once

#include "stream/MemoryDevice.h"
#include "stream/StreamDevice.h"
#include "stream/socket/SocketHandle.h"
#include "stream/socket/WakeEvent.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

namespace zeb::stream::socket {

// What the client and the peer transports share: one connected socket, a receive thread that
// moves incoming bytes into a bounded queue and makes the owning stream poll, and reads and
// writes on the caller's thread.
//
// The receive thread waits in poll() on the socket and on a wake-up descriptor. When the
// connection ends by itself (far side, error, or a close from inside the thread's own
// notifications) it calls connectionEnded() once; a close from another thread stops and joins
// the thread instead, and nothing more is told.
class ConnectedSocketDevice : public StreamDevice
{
public:
    // One receive takes at most this much: the capacity of a stream's receive buffer.
    static constexpr std::size_t kReceiveBlock = 12068;
    // The queue holds at most this much; beyond it the thread stops reading the socket (TCP
    // then holds the far side back) until a reader has taken bytes.
    static constexpr std::size_t kQueueCapacity = 4 * kReceiveBlock;
    // Wait-state bits.
    static constexpr std::uint32_t kWaitReadable = 1;
    static constexpr std::uint32_t kWaitWritable = 2;

    ~ConnectedSocketDevice() override;

    // Ends the connection. From another thread: stops and joins the receive thread, then
    // closes the socket. From the receive thread itself: shuts the socket down; the thread
    // then ends and the socket is closed when the transport is destroyed.
    StreamStatus close() override;
    // Takes up to `maximum` queued bytes; with `wait`, blocks until some arrive or the
    // connection ends.
    std::size_t read(std::uint8_t* buffer, std::size_t maximum, bool wait) override;
    std::size_t write(const std::uint8_t* bytes, std::size_t count, int retries, int retryDelayMs) override;
    bool isOpen() const override { return m_open.load(); }
    // Bytes queued and not yet read.
    std::uint64_t size() const override;
    // The connection has ended and the queue is empty.
    bool atEnd() const override;

    int socketFd() const { return m_socket.fd(); }
    // Gives `other` to the receive thread when the caller cannot wait for that thread; it is
    // destroyed there as the thread ends. False when the caller can wait.
    bool takeOverFromHere(std::unique_ptr<StreamDevice>& other);
    bool handOffToOwnThread(std::unique_ptr<StreamDevice>& self) override;

protected:
    explicit ConnectedSocketDevice(const char* threadName);

    // Takes a connected socket (made non-blocking); false when it cannot be used.
    bool attachSocket(int fd);
    // Starts the receive thread at the highest priority: 0, or 6 when it cannot start. A held
    // thread waits, without looking at the socket, until release().
    int startReceiving(bool held = false);
    void release();
    // On the receive thread, once, when the connection ended without a close from another
    // thread. The transport may be detached from its stream by then.
    virtual void connectionEnded() = 0;
    // True for the one caller that first claims the end of the connection: a close from
    // another thread, or the receive thread when the connection ended by itself.
    bool claimEnd() { return !m_endClaimed.exchange(true); }
    // The caller is the receive thread, or keeps it blocked in one of its notifications: it
    // cannot wait for the thread.
    bool onReceiveThread() const;
    // Stops and joins the receive thread (not from the thread itself).
    void stopReceiving();

private:
    class ReceiveThread;

    void receiveLoop();
    bool receiveStep();
    bool takeFromSocket(std::size_t room);
    // Lets the owning stream take queued bytes until it takes no more.
    void drainQueue();
    std::size_t queued() const;
    void markEnded();

    const char* m_threadName;
    SocketHandle m_socket;
    WakeEvent m_wake;
    std::atomic<bool> m_open{false};
    std::atomic<bool> m_endClaimed{false};
    std::atomic<bool> m_closing{false};
    std::atomic<bool> m_held{false};
    std::atomic<std::thread::id> m_receiveThread{};

    mutable std::mutex m_queueMutex;
    std::condition_variable m_queueChanged;
    MemoryDevice m_queue; // guarded by m_queueMutex
    bool m_ended = false; // guarded by m_queueMutex

    std::array<std::uint8_t, kReceiveBlock> m_block{};
    std::unique_ptr<ReceiveThread> m_thread;
};

} // namespace zeb::stream::socket
