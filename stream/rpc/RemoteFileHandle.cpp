#include "stream/rpc/RemoteFileHandle.h"

#include <limits>

namespace zeb::stream::rpc {

std::unique_ptr<RemoteFileHandle> RemoteFileHandle::open(IOSTStream& via, std::string_view path, int flags)
{
    RemoteFileClient client(via);
    const std::int64_t handle = client.open(path, flags);
    if (handle < 0)
        return nullptr;
    return std::unique_ptr<RemoteFileHandle>(new RemoteFileHandle(via, static_cast<std::uint32_t>(handle)));
}

RemoteFileHandle::RemoteFileHandle(IOSTStream& via, std::uint32_t handle)
    : m_via(via)
    , m_handle(handle)
{
}

template <typename Result, typename Operation>
Result RemoteFileHandle::withClient(Result failed, Operation&& operation)
{
    const StreamHandle::Pin via = m_via.pin();
    if (!via)
        return failed;
    RemoteFileClient client(*via);
    return operation(client);
}

RemoteFileHandle::~RemoteFileHandle()
{
    close();
}

std::int64_t RemoteFileHandle::read(std::uint8_t* buffer, std::size_t maximum)
{
    if (!m_open)
        return -1;
    return withClient<std::int64_t>(-1,
                                    [&](RemoteFileClient& client) { return client.read(m_handle, buffer, maximum); });
}

std::int64_t RemoteFileHandle::write(const std::uint8_t* bytes, std::size_t count)
{
    if (!m_open)
        return -1;
    return withClient<std::int64_t>(-1, [&](RemoteFileClient& client) { return client.write(m_handle, bytes, count); });
}

std::int64_t RemoteFileHandle::seek(std::int64_t offset, int origin)
{
    // Offsets travel as signed words.
    if (!m_open || offset < std::numeric_limits<std::int32_t>::min()
        || offset > std::numeric_limits<std::int32_t>::max())
        return -1;
    return withClient<std::int64_t>(
        -1, [&](RemoteFileClient& client) { return client.seek(m_handle, static_cast<std::int32_t>(offset), origin); });
}

std::int64_t RemoteFileHandle::length()
{
    if (!m_open)
        return -1;
    return withClient<std::int64_t>(-1, [&](RemoteFileClient& client) { return client.length(m_handle); });
}

bool RemoteFileHandle::close()
{
    if (!m_open)
        return false;
    m_open = false;
    return withClient<bool>(false, [&](RemoteFileClient& client) { return client.close(m_handle); });
}

} // namespace zeb::stream::rpc
