#include "stream/StreamDevice.h"

#include "platform/WorkerThread.h"
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
        stream->pollFrom(*this);
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

void StreamDevice::dispose(std::unique_ptr<StreamDevice> device)
{
    if (device && device->handOffToOwnThread(device))
        return;
    device.reset();
}

bool StreamDevice::handOffToOwnThread(std::unique_ptr<StreamDevice>&)
{
    return false;
}

bool StreamDevice::handOffTo(platform::WorkerThread* thread, std::unique_ptr<StreamDevice>& self)
{
    if (!thread || !thread->cannotJoinFromHere())
        return false;
    StreamDevice* raw = self.get();
    if (!thread->handOff([raw] { delete raw; }))
        return false;
    // The thread owns it now and may already have destroyed it.
    (void)self.release();
    return true;
}

void StreamDevice::setErrorText(std::string_view text)
{
    m_errorText.assign(text.substr(0, kErrorTextCapacity));
}

} // namespace zeb::stream
