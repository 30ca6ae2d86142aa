#include "stream/socket/ConnectedSocketDevice.h"

#include "platform/WorkerThread.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace zeb::stream::socket {

namespace {

// While received bytes wait for a stream that has not taken the transport yet (it is still
// being opened), the thread looks again this often.
constexpr int kOwnerRetryMs = 10;
constexpr double kReceivePriority = 1.0;

} // namespace

class ConnectedSocketDevice::ReceiveThread : public platform::WorkerThread
{
public:
    ReceiveThread(ConnectedSocketDevice& device, const char* name)
        : WorkerThread(name, kReceivePriority)
        , m_device(device)
    {
    }
    ~ReceiveThread() override { terminate(); }

    bool stopping() const { return stopRequested(); }

protected:
    int run() override
    {
        m_device.receiveLoop();
        return 0;
    }
    void interrupt() override { m_device.m_wake.signal(); }

private:
    ConnectedSocketDevice& m_device;
};

ConnectedSocketDevice::ConnectedSocketDevice(const char* threadName)
    : m_threadName(threadName)
{
    const std::lock_guard lock(m_queueMutex);
    m_ended = true;
    m_queue.reserve(kQueueCapacity);
}

ConnectedSocketDevice::~ConnectedSocketDevice()
{
    claimEnd();
    stopReceiving();
    m_socket.close();
}

bool ConnectedSocketDevice::attachSocket(int fd)
{
    stopReceiving();
    // Without its wake-up descriptor the receive thread could never be stopped.
    if (m_wake.fd() < 0) {
        ::close(fd);
        return false;
    }
    if (!m_socket.attach(fd))
        return false;
    {
        const std::lock_guard lock(m_queueMutex);
        m_queue.rewind();
        m_ended = false;
    }
    m_wake.drain();
    m_endClaimed = false;
    m_closing = false;
    setWaitState(kWaitReadable);
    m_open = true;
    return true;
}

int ConnectedSocketDevice::startReceiving(bool held)
{
    stopReceiving();
    m_held = held;
    m_thread = std::make_unique<ReceiveThread>(*this, m_threadName);
    return m_thread->start();
}

void ConnectedSocketDevice::release()
{
    m_held = false;
    m_wake.signal();
}

void ConnectedSocketDevice::stopReceiving()
{
    if (m_thread && !onReceiveThread())
        m_thread->terminate();
}

bool ConnectedSocketDevice::onReceiveThread() const
{
    return m_receiveThread.load() == std::this_thread::get_id() || (m_thread && m_thread->cannotJoinFromHere());
}

bool ConnectedSocketDevice::handOffToOwnThread(std::unique_ptr<StreamDevice>& self)
{
    return takeOverFromHere(self);
}

bool ConnectedSocketDevice::takeOverFromHere(std::unique_ptr<StreamDevice>& other)
{
    return handOffTo(m_thread.get(), other);
}

StreamStatus ConnectedSocketDevice::close()
{
    m_open = false;
    if (onReceiveThread()) {
        // The thread is inside one of its own notifications (on this thread, or waiting for a
        // handler on it): it cannot be joined from here.
        // The shut-down socket ends its loop once the notification returns.
        m_closing = true;
        m_socket.shutdown();
        markEnded();
        return StreamStatus::Ok;
    }
    claimEnd();
    stopReceiving();
    m_socket.close();
    markEnded();
    return StreamStatus::Ok;
}

void ConnectedSocketDevice::markEnded()
{
    {
        const std::lock_guard lock(m_queueMutex);
        m_ended = true;
    }
    m_queueChanged.notify_all();
}

std::size_t ConnectedSocketDevice::read(std::uint8_t* buffer, std::size_t maximum, bool wait)
{
    if (!buffer || maximum == 0)
        return 0;
    std::unique_lock lock(m_queueMutex);
    if (wait)
        m_queueChanged.wait(lock, [this] { return m_queue.size() > 0 || m_ended; });
    const bool wasFull = m_queue.size() >= kQueueCapacity;
    const std::size_t got = m_queue.read(buffer, maximum, false);
    lock.unlock();
    // The receive thread stopped reading the socket while the queue was full.
    if (wasFull && got > 0)
        m_wake.signal();
    return got;
}

std::size_t ConnectedSocketDevice::write(const std::uint8_t* bytes, std::size_t count, int retries, int retryDelayMs)
{
    if (!isOpen())
        return 0;
    return m_socket.send(bytes, count, retries, retryDelayMs);
}

std::uint64_t ConnectedSocketDevice::size() const
{
    return queued();
}

bool ConnectedSocketDevice::atEnd() const
{
    const std::lock_guard lock(m_queueMutex);
    return m_ended && m_queue.size() == 0;
}

std::size_t ConnectedSocketDevice::queued() const
{
    const std::lock_guard lock(m_queueMutex);
    return static_cast<std::size_t>(m_queue.size());
}

// --- the receive thread --------------------------------------------------------------------

void ConnectedSocketDevice::receiveLoop()
{
    m_receiveThread.store(std::this_thread::get_id());
    while (m_held && !m_thread->stopping()) {
        pollfd wake{m_wake.fd(), POLLIN, 0};
        (void)::poll(&wake, 1, -1);
        m_wake.drain();
    }
    while (!m_thread->stopping() && receiveStep()) { }
    m_open = false;
    markEnded();
    if (claimEnd())
        connectionEnded();
    // Thread identifiers are reused: a later thread must not pass for this one.
    m_receiveThread.store(std::thread::id{});
}

// One wait and what it found; false when the loop is to end.
bool ConnectedSocketDevice::receiveStep()
{
    if (m_closing)
        return false;
    const std::size_t held = queued();
    const std::size_t room = kQueueCapacity - std::min(held, kQueueCapacity);
    const bool wantWrite = (waitState() & kWaitWritable) != 0;
    const short events = static_cast<short>((room > 0 ? POLLIN : 0) | (wantWrite ? POLLOUT : 0));
    std::array<pollfd, 2> fds{{{events != 0 ? m_socket.fd() : -1, events, 0}, {m_wake.fd(), POLLIN, 0}}};
    const int timeout = held > 0 && !owner() ? kOwnerRetryMs : -1;
    if (::poll(fds.data(), fds.size(), timeout) < 0)
        return errno == EINTR;
    if (fds[1].revents != 0)
        m_wake.drain();
    if (m_closing || m_thread->stopping())
        return false;

    const short found = fds[0].revents;
    if ((found & POLLNVAL) != 0)
        return false;
    if ((found & POLLOUT) != 0 && wantWrite) {
        setWaitState(kWaitReadable);
        connectionReady();
        if (m_closing)
            return false;
    }
    if ((found & (POLLIN | POLLHUP | POLLERR)) != 0 && !takeFromSocket(room))
        return false;
    drainQueue();
    return !m_closing;
}

bool ConnectedSocketDevice::takeFromSocket(std::size_t room)
{
    if (room == 0)
        return false;
    const std::ptrdiff_t got = m_socket.receive(m_block.data(), std::min(room, kReceiveBlock));
    if (got == SocketHandle::kNothingYet)
        return true;
    if (got <= 0)
        return false;
    {
        const std::lock_guard lock(m_queueMutex);
        m_queue.write(m_block.data(), static_cast<std::size_t>(got), 0, 0);
    }
    m_queueChanged.notify_all();
    return true;
}

void ConnectedSocketDevice::drainQueue()
{
    std::size_t before = queued();
    while (before > 0 && !m_closing) {
        dataAvailable();
        const std::size_t after = queued();
        if (after >= before)
            return;
        before = after;
    }
}

} // namespace zeb::stream::socket
