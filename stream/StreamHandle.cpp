#include "stream/StreamHandle.h"

#include "stream/IOSTStream.h"
#include "stream/StreamRegistry.h"

namespace zeb::stream {

StreamHandle::StreamHandle(const IOSTStream& stream)
    : m_serial(stream.serial())
{
}

StreamHandle::Pin StreamHandle::pin() const
{
    return Pin(StreamRegistry::instance().pin(m_serial));
}

StreamHandle::Pin StreamHandle::pinByAddress(std::string_view address)
{
    return Pin(StreamRegistry::instance().pinByAddress(address));
}

StreamHandle::Pin::Pin(Pin&& other) noexcept
    : m_stream(other.m_stream)
{
    other.m_stream = nullptr;
}

StreamHandle::Pin::~Pin()
{
    if (m_stream)
        StreamRegistry::instance().unpin(*m_stream);
}

} // namespace zeb::stream
