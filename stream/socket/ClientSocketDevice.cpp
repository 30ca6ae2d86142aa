#include "stream/socket/ClientSocketDevice.h"

#include "platform/Dispatcher.h"
#include "platform/ServingWait.h"
#include "stream/StreamAddress.h"

#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace zeb::stream::socket {

namespace {

// A name lookup may take seconds. On a thread that serves windows it runs on a helper thread
// while this one keeps serving their sends; a lookup that outlasts the limit is left to end
// on its own.
std::optional<Ipv4Address> resolveServing(const std::string& host, std::chrono::milliseconds limit)
{
    if (!platform::Dispatcher::current())
        return resolveHost(host);
    struct Lookup
    {
        std::mutex mutex;
        bool done = false;
        std::optional<Ipv4Address> address;
    };
    auto lookup = std::make_shared<Lookup>();
    try {
        std::thread([lookup, host] {
            std::optional<Ipv4Address> found = resolveHost(host);
            {
                const std::lock_guard lock(lookup->mutex);
                lookup->address = found;
                lookup->done = true;
            }
            platform::ServingWait::wakeAll();
        }).detach();
    } catch (const std::system_error&) {
        return resolveHost(host);
    }
    const auto finished = [&] {
        const std::lock_guard lock(lookup->mutex);
        return lookup->done;
    };
    if (!platform::ServingWait::until(finished, limit))
        return std::nullopt;
    const std::lock_guard lock(lookup->mutex);
    return lookup->address;
}

} // namespace

ClientSocketDevice::ClientSocketDevice()
    : ConnectedSocketDevice("client")
{
}

ClientSocketDevice::~ClientSocketDevice()
{
    // The thread must be gone before this part of the object is: it calls connectionEnded().
    claimEnd();
    stopReceiving();
}

StreamStatus ClientSocketDevice::open(const StreamAddress& address)
{
    if (isOpen())
        close();
    const auto host = resolveServing(address.client.host, m_connectLimit);
    if (!host)
        return StreamStatus::OpenFailed;
    const auto port = static_cast<std::uint16_t>(address.client.port & 0xFFFFu);
    const int fd = SocketHandle::connectTo(*host, port, m_connectLimit);
    if (fd < 0 || !attachSocket(fd))
        return StreamStatus::OpenFailed;
    if (startReceiving() != 0) {
        close();
        return StreamStatus::OpenFailed;
    }
    return StreamStatus::Ok;
}

void ClientSocketDevice::connectionEnded()
{
    notifyClose();
}

} // namespace zeb::stream::socket
