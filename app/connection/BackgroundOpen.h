#pragma once

#include "stream/StreamAddress.h"

#include <functional>
#include <memory>

namespace zeb::stream {
class StreamDevice;
}

namespace zeb::connection {

// Opens a transport on a worker thread of its own, so that a window's thread never waits for a
// name lookup or a connection. The owner may give up at any time by destroying the object: the
// worker then finishes on its own (a name lookup cannot be interrupted), closes what it opened
// and ends; nothing ever waits for it.
class BackgroundOpen
{
public:
    // Called on the worker once the attempt has ended, unless the owner gave up first; it should
    // only post the owner a note (the owner then calls take() on its own thread).
    using Wake = std::function<void()>;

    BackgroundOpen(const stream::StreamAddress& address, Wake wake);
    ~BackgroundOpen();
    BackgroundOpen(const BackgroundOpen&) = delete;
    BackgroundOpen& operator=(const BackgroundOpen&) = delete;

    const stream::StreamAddress& address() const { return m_address; }
    // True once the attempt has ended; take() then gives the opened transport, or null when the
    // attempt failed or no worker could start.
    bool finished() const;
    std::unique_ptr<stream::StreamDevice> take();

private:
    struct Shared;
    static void attempt(std::shared_ptr<Shared> shared, const stream::StreamAddress& address);

    const stream::StreamAddress m_address;
    std::shared_ptr<Shared> m_shared;
};

} // namespace zeb::connection
