#include "app/connection/BackgroundOpen.h"

#include "platform/DetachedWork.h"
#include "stream/IOSTStream.h"
#include "stream/StreamDevice.h"

#include <mutex>
#include <system_error>
#include <thread>

namespace zeb::connection {

// What the owner and the worker share; whichever lets go last frees it.
struct BackgroundOpen::Shared
{
    std::mutex mutex;
    bool finished = false;
    bool abandoned = false;
    std::unique_ptr<stream::StreamDevice> device;
    Wake wake;
};

void BackgroundOpen::attempt(std::shared_ptr<Shared> shared, const stream::StreamAddress& address)
{
    std::unique_ptr<stream::StreamDevice> device;
    stream::IOSTStream::openTransport(address, device);
    std::unique_lock lock(shared->mutex);
    shared->finished = true;
    if (shared->abandoned) {
        // Closed here, on the worker, rather than by an owner that has moved on.
        lock.unlock();
        device.reset();
        return;
    }
    shared->device = std::move(device);
    // Under the lock: the owner cannot give up (and its note target go) during the call.
    if (shared->wake)
        shared->wake();
}

BackgroundOpen::BackgroundOpen(const stream::StreamAddress& address, Wake wake)
    : m_address(address)
    , m_shared(std::make_shared<Shared>())
{
    m_shared->wake = std::move(wake);
    try {
        // The token outlives everything the attempt touches: a program that ends while a
        // connection is still being closed here waits for it (see DetachedWork).
        std::thread([token = platform::DetachedWork::Token(), shared = m_shared, address]() mutable {
            attempt(std::move(shared), address);
        }).detach();
    } catch (const std::system_error&) {
        m_shared->finished = true;
        if (m_shared->wake)
            m_shared->wake();
    }
}

BackgroundOpen::~BackgroundOpen()
{
    std::unique_ptr<stream::StreamDevice> opened;
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->abandoned = true;
        m_shared->wake = nullptr;
        opened = std::move(m_shared->device);
    }
}

bool BackgroundOpen::finished() const
{
    const std::lock_guard lock(m_shared->mutex);
    return m_shared->finished;
}

std::unique_ptr<stream::StreamDevice> BackgroundOpen::take()
{
    const std::lock_guard lock(m_shared->mutex);
    return std::move(m_shared->device);
}

} // namespace zeb::connection
