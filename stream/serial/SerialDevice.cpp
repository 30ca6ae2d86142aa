#include "stream/serial/SerialDevice.h"

#include "platform/ServingWait.h"
#include "platform/WorkerThread.h"
#include "stream/StreamAddress.h"
#include "stream/serial/SerialTermios.h"
#include "text/Format.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <new>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace zeb::stream::serial {

namespace {

// Priorities of the two threads: two levels above normal for the receiver, so that bytes leave
// the driver promptly, and normal for the writer.
constexpr double kReceivePriority = 0.85;
constexpr double kWritePriority = 0.5;
// How long the receive thread rests when the line was readable but nothing came of it: before the
// stream has attached itself, or on a line that hung up.
constexpr int kIdleBackoffMs = 10;
constexpr std::chrono::milliseconds kEventPause{100};

std::int64_t steadySeconds()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void closeDescriptor(std::atomic<int>& fd)
{
    const int old = fd.exchange(-1);
    if (old >= 0)
        (void)::close(old);
}

} // namespace

// A thread that runs one loop of its device and wakes it through the device's wake-up descriptor.
class SerialDevice::Worker final : public platform::WorkerThread
{
public:
    using Body = int (SerialDevice::*)(Worker&);

    Worker(const char* name, double priority, SerialDevice& device, Body body)
        : WorkerThread(name, priority)
        , m_device(device)
        , m_body(body)
    {
    }
    ~Worker() override { terminate(); }

    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    bool isCurrentThread() const { return m_threadId.load() == std::this_thread::get_id(); }
    // Waits while the thread is paused; false when it should end.
    bool proceed() { return checkpoint(); }

protected:
    int run() override
    {
        m_threadId = std::this_thread::get_id();
        const int result = (m_device.*m_body)(*this);
        m_threadId = std::thread::id{};
        return result;
    }
    void interrupt() override { m_device.wake(); }

private:
    SerialDevice& m_device;
    const Body m_body;
    std::atomic<std::thread::id> m_threadId{};
};

SerialDevice::SerialDevice()
    : m_clock(steadySeconds)
{
}

SerialDevice::~SerialDevice()
{
    close();
    // Threads that outlived close()'s bounded wait are waited for now: they use the members.
    m_stopping = true;
    wake();
    stopThreads(static_cast<int>(platform::WorkerThread::kDefaultStopTimeout.count()));
    m_receiver.reset();
    m_writer.reset();
    releaseDescriptors();
}

// --- opening -------------------------------------------------------------------------------------

StreamStatus SerialDevice::open(const StreamAddress& address)
{
    close();
    return openPath(serialDevicePath(address.serial.portNumber), address.serial);
}

StreamStatus SerialDevice::openPath(const std::string& path, const SerialSettings& settings)
{
    if (m_receiver && m_receiver->isCurrentThread()) {
        // Its own object would be replaced under the running thread.
        setErrorText(text::format("%s:%d, busy name '%s'", kUnit, kStepOpen, path.c_str()));
        return StreamStatus::OpenFailed;
    }
    // Threads left from a close that could not wait for them must be gone before new ones start.
    m_stopping = true;
    wake();
    if (!stopThreads(static_cast<int>(platform::WorkerThread::kDefaultStopTimeout.count()))) {
        setErrorText(text::format("%s:%d, busy name '%s'", kUnit, kStepOpen, path.c_str()));
        return StreamStatus::OpenFailed;
    }
    releaseDescriptors();
    {
        const std::lock_guard lock(m_queueMutex);
        m_queue.clear();
        m_queuedBytes = 0;
    }

    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        setErrorText(
            text::format("%s:%d, error %u name '%s'", kUnit, kStepOpen, static_cast<unsigned>(errno), path.c_str()));
        return StreamStatus::OpenFailed;
    }
    if (!configure(fd, settings)) {
        (void)::close(fd);
        return StreamStatus::OpenFailed;
    }
    const int wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd < 0) {
        setErrorText(
            text::format("%s:%d, error %u name '%s'", kUnit, kStepOpen, static_cast<unsigned>(errno), path.c_str()));
        (void)::close(fd);
        return StreamStatus::OpenFailed;
    }
    m_fd = fd;
    m_wakeFd = wakeFd;
    m_stopping = false;
    m_open = true;
    if (!startThreads()) {
        // A port without its threads would look open and never move a byte.
        close();
        setErrorText(text::format("%s:%d, no thread name '%s'", kUnit, kStepOpen, path.c_str()));
        return StreamStatus::OpenFailed;
    }
    return StreamStatus::Ok;
}

bool SerialDevice::configure(int fd, const SerialSettings& settings)
{
    if (fd < 0) {
        setErrorText(text::format("%s:%d, no device", kUnit, kStepNoDevice));
        return false;
    }
    if (::tcflush(fd, TCIOFLUSH) != 0) {
        failStep(kStepPurge, errno);
        return false;
    }
    termios attributes{};
    if (::tcgetattr(fd, &attributes) != 0)
        return false;
    if (const int error = applySerialSettings(attributes, settings); error != 0) {
        failStep(kStepState, error);
        return false;
    }
    if (::tcsetattr(fd, TCSANOW, &attributes) != 0) {
        failStep(kStepState, errno);
        return false;
    }
    // Receivers powered or enabled by DTR and RTS see both raised. Lines without modem control
    // (pseudo-terminals, some adapters) refuse the request, which changes nothing for them.
    const int lines = TIOCM_DTR | TIOCM_RTS;
    (void)::ioctl(fd, TIOCMBIS, &lines);
    // No other program may open the line while this device uses it; released at close.
    (void)::ioctl(fd, TIOCEXCL);
    return true;
}

void SerialDevice::failStep(int step, int error)
{
    setErrorText(text::format("%s:%d, error %u", kUnit, step, static_cast<unsigned>(error)));
}

bool SerialDevice::startThreads()
{
    m_receiver = std::make_unique<Worker>("serial receive", kReceivePriority, *this, &SerialDevice::receiveLoop);
    m_writer = std::make_unique<Worker>("serial write", kWritePriority, *this, &SerialDevice::writeLoop);
    return m_receiver->start() == platform::WorkerThread::kStatusOk
        && m_writer->start() == platform::WorkerThread::kStatusOk;
}

// --- closing -------------------------------------------------------------------------------------

StreamStatus SerialDevice::close()
{
    if (!m_open.exchange(false))
        return StreamStatus::Ok;
    m_stopping = true;
    wake();
    if (const int fd = m_fd.load(); fd >= 0)
        (void)::tcflush(fd, TCIOFLUSH);

    std::deque<Queued> dropped;
    {
        const std::lock_guard lock(m_queueMutex);
        dropped.swap(m_queue);
        m_queuedBytes = 0;
    }
    // A thread that is still running after its bounded wait may still use the descriptors, and a
    // descriptor closed under it could be reused by another file: they are released only once it
    // has gone (at the next open or in the destructor).
    if (stopThreads(kStopWaitMs))
        releaseDescriptors();
    return StreamStatus::Ok;
}

bool SerialDevice::stopThreads(int waitMs)
{
    const std::chrono::milliseconds timeout(waitMs);
    bool stopped = true;
    if (m_writer) {
        if (m_writer->terminate(timeout))
            m_writer.reset();
        else
            stopped = false;
    }
    if (m_receiver) {
        if (m_receiver->isCurrentThread() || m_receiver->cannotJoinFromHere()) {
            // Closed by a subscriber: the thread cannot wait for itself, nor for a handler of
            // its own notification. It leaves its loop as soon
            // as the handler returns, without touching the descriptors again, and is joined later.
            m_receiver->terminate();
        } else if (m_receiver->terminate(timeout)) {
            m_receiver.reset();
        } else {
            stopped = false;
        }
    }
    return stopped;
}

bool SerialDevice::handOffToOwnThread(std::unique_ptr<StreamDevice>& self)
{
    return handOffTo(m_receiver.get(), self);
}

void SerialDevice::releaseDescriptors()
{
    // The next opener of the line must not find it still reserved.
    if (const int fd = m_fd.load(); fd >= 0)
        (void)::ioctl(fd, TIOCNXCL);
    closeDescriptor(m_fd);
    closeDescriptor(m_wakeFd);
}

void SerialDevice::wake()
{
    if (const int fd = m_wakeFd.load(); fd >= 0) {
        const std::uint64_t one = 1;
        (void)!::write(fd, &one, sizeof one);
    }
    // Taking the lock orders the stop flag before a writer's check of its wait condition.
    {
        const std::lock_guard lock(m_queueMutex);
    }
    m_queueCondition.notify_all();
}

bool SerialDevice::pause(int ms) const
{
    pollfd wakeup{m_wakeFd.load(), POLLIN, 0};
    return ::poll(&wakeup, 1, ms) != 1;
}

// --- receiving -----------------------------------------------------------------------------------

int SerialDevice::receiveLoop(Worker&)
{
    while (!m_stopping.load()) {
        pollfd fds[2] = {{m_fd.load(), POLLIN, 0}, {m_wakeFd.load(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[1].revents != 0 || (fds[0].revents & POLLNVAL) != 0)
            break;
        if ((fds[0].revents & POLLIN) != 0) {
            const std::uint64_t before = m_bytesRead.load();
            dataAvailable();
            // A subscriber may have closed the port: the descriptors may be gone already.
            if (m_stopping.load())
                break;
            if (m_bytesRead.load() != before)
                continue;
        }
        if (!pause(kIdleBackoffMs))
            break;
    }
    return 0;
}

std::size_t SerialDevice::read(std::uint8_t* buffer, std::size_t maximum, bool)
{
    const int fd = m_fd.load();
    if (fd < 0 || !buffer || maximum == 0)
        return 0;
    int available = 0;
    if (::ioctl(fd, FIONREAD, &available) != 0 || available <= 0)
        return 0;
    const std::size_t wanted = std::min(static_cast<std::size_t>(available), maximum);
    ssize_t got = 0;
    do {
        got = ::read(fd, buffer, wanted);
    } while (got < 0 && errno == EINTR);
    if (got <= 0)
        return 0;
    m_bytesRead.fetch_add(static_cast<std::uint64_t>(got));
    return static_cast<std::size_t>(got);
}

StreamStatus SerialDevice::waitEvent()
{
    if (!isOpen())
        return StreamStatus::NotOpen;
    platform::ServingWait::sleep(kEventPause);
    return StreamStatus::Ok;
}

// --- writing -------------------------------------------------------------------------------------

std::size_t SerialDevice::write(const std::uint8_t* bytes, std::size_t count, int, int)
{
    if (!isOpen() || !bytes || count == 0)
        return 0;
    std::deque<Queued> aged;
    try {
        Queued buffer{std::vector<std::uint8_t>(bytes, bytes + count), 0};
        const std::lock_guard lock(m_queueMutex);
        const std::int64_t now = m_clock();
        buffer.queuedAt = now;
        // Buffers that waited this long belong to a line nobody reads (or that handshaking holds):
        // sending them late would only confuse the receiver.
        while (!m_queue.empty() && m_queue.front().queuedAt + kMaxQueueAgeSeconds < now) {
            m_queuedBytes -= m_queue.front().bytes.size();
            aged.push_back(std::move(m_queue.front()));
            m_queue.pop_front();
        }
        m_queue.push_back(std::move(buffer));
        m_queuedBytes += count;
    } catch (const std::bad_alloc&) {
        return 0;
    }
    m_queueCondition.notify_one();
    return count;
}

std::size_t SerialDevice::bytesWaitingToBeSent() const
{
    const std::lock_guard lock(m_queueMutex);
    return m_queuedBytes;
}

void SerialDevice::setClock(SecondsClock clock)
{
    const std::lock_guard lock(m_queueMutex);
    m_clock = clock ? std::move(clock) : SecondsClock(steadySeconds);
}

void SerialDevice::pauseSending()
{
    if (m_writer)
        m_writer->suspend();
}

void SerialDevice::resumeSending()
{
    if (m_writer)
        m_writer->resume();
}

int SerialDevice::writeLoop(Worker& self)
{
    for (;;) {
        {
            std::unique_lock lock(m_queueMutex);
            m_queueCondition.wait(lock, [this] { return m_stopping.load() || !m_queue.empty(); });
            if (m_stopping.load())
                return 0;
        }
        if (!self.proceed() || m_stopping.load())
            return 0;
        Queued next;
        {
            const std::lock_guard lock(m_queueMutex);
            if (m_queue.empty())
                continue;
            next = std::move(m_queue.front());
            m_queue.pop_front();
            m_queuedBytes -= next.bytes.size();
        }
        sendAll(next.bytes);
    }
}

// The descriptor never blocks: a full driver queue is waited out with poll(), which close() can
// interrupt. What the driver refuses for good is dropped, as the write was counted when queued.
bool SerialDevice::sendAll(const std::vector<std::uint8_t>& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        if (m_stopping.load())
            return false;
        const ssize_t written = ::write(m_fd.load(), bytes.data() + done, bytes.size() - done);
        if (written > 0) {
            done += static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno != EAGAIN)
            return false;
        pollfd fds[2] = {{m_fd.load(), POLLOUT, 0}, {m_wakeFd.load(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR)
            return false;
        if (fds[1].revents != 0 || (fds[0].revents & (POLLERR | POLLNVAL)) != 0)
            return false;
    }
    return true;
}

} // namespace zeb::stream::serial
