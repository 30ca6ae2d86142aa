#include "stream/StreamDevice.h"

#include "stream/IOSTStream.h"

namespace zeb::stream {

StreamStatus StreamDevice::open(const StreamAddress&)
{
    return StreamStatus::OpenFailed;
}

std::size_t StreamDevice::read(std::uint8_t*, std::size_t, bool)
{
    return 0;
}

std::size_t StreamDevice::write(const std::uint8_t*, std::size_t, int, int)
{
    return 0;
}

void StreamDevice::dataAvailable()
{
    if (IOSTStream* stream = owner())
        stream->poll();
}

void StreamDevice::deliver(std::span<const std::uint8_t> bytes)
{
    if (IOSTStream* stream = owner())
        stream->feed(bytes);
}

void StreamDevice::discardInput()
{
    if (IOSTStream* stream = owner())
        stream->discardInput();
}

void StreamDevice::notifySent()
{
    if (IOSTStream* stream = owner())
        stream->notifySent();
}

void StreamDevice::connectionReady()
{
    if (IOSTStream* stream = owner())
        stream->connectionReady();
}

void StreamDevice::notifyOpen()
{
    if (IOSTStream* stream = owner())
        stream->notifyOpen();
}

void StreamDevice::notifyClose()
{
    if (IOSTStream* stream = owner())
        stream->notifyClose();
}

void StreamDevice::setErrorText(std::string_view text)
{
    m_errorText.assign(text.substr(0, kErrorTextCapacity));
}

} // namespace zeb::stream
